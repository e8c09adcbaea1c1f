// Compile-only stand-in for the MIDP Canvas; records the full-screen switch so a check can observe it.
package javax.microedition.lcdui;

public abstract class Canvas extends Displayable {
    public static boolean lastFullScreenMode;
    public static int fullScreenCalls;

    protected Canvas() {}

    public void setFullScreenMode(boolean mode) {
        lastFullScreenMode = mode;
        fullScreenCalls++;
    }

    public final void repaint() {}

    protected abstract void paint(Graphics g);

    protected void keyPressed(int keyCode) {}
}
