// Test stand-in for the MIDP Canvas: records full-screen requests, in total and per screen, for the runner.
package javax.microedition.lcdui;

public abstract class Canvas extends Displayable {
    public static int fullScreenCalls;
    public static boolean lastFullScreenMode;
    public boolean fullScreenMode;

    protected Canvas() {}

    public void setFullScreenMode(boolean mode) {
        fullScreenCalls++;
        lastFullScreenMode = mode;
        fullScreenMode = mode;
    }

    public final void repaint() {}

    protected abstract void paint(Graphics g);

    protected void keyPressed(int keyCode) {}
}
