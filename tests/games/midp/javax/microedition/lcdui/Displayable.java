// Test stand-in for the MIDP Displayable: the screen size every screen reports.
package javax.microedition.lcdui;

public abstract class Displayable {
    public int getWidth() { return 176; }
    public int getHeight() { return 204; }
}
