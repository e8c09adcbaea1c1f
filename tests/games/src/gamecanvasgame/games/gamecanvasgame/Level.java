// The game canvas game's screen: a GameCanvas; nothing in this game names Canvas itself.
package games.gamecanvasgame;

import javax.microedition.lcdui.Graphics;
import javax.microedition.lcdui.game.GameCanvas;

public class Level extends GameCanvas {
    public Level() {
        super(false);
    }

    public void draw() {
        Graphics g = getGraphics();
        g.fillRect(0, 0, getWidth(), getHeight());
        flushGraphics();
    }
}
