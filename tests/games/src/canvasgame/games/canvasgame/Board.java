// The one screen of the canvas game: a plain Canvas, with two constructors, one calling the other.
package games.canvasgame;

import javax.microedition.lcdui.Canvas;
import javax.microedition.lcdui.Graphics;

public class Board extends Canvas {
    private final int cells;

    public Board() {
        this(8);
    }

    Board(int cells) {
        super();
        this.cells = cells > 0 ? cells : 1;
    }

    protected void paint(Graphics g) {
        g.fillRect(0, 0, getWidth() / cells, getHeight() / cells);
    }
}
