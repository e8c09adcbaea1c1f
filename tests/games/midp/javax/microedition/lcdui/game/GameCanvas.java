// Test stand-in for the MIDP 2.0 GameCanvas: a Canvas of its own kind, as the real one is.
package javax.microedition.lcdui.game;

import javax.microedition.lcdui.Canvas;
import javax.microedition.lcdui.Graphics;

public abstract class GameCanvas extends Canvas {
    private final Graphics buffer = new Graphics();

    protected GameCanvas(boolean suppressKeyEvents) {}

    protected Graphics getGraphics() { return buffer; }

    public void paint(Graphics g) {}

    public void flushGraphics() {}
}
