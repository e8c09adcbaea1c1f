// The mixed game's menu: a plain Canvas screen.
package games.mixedgame;

import javax.microedition.lcdui.Canvas;
import javax.microedition.lcdui.Graphics;

public class Menu extends Canvas {
    protected void paint(Graphics g) {
        g.drawString("Play", getWidth() / 2, getHeight() / 2, 0);
    }
}
