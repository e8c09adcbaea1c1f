// Test stand-in for the MIDP Graphics: drawing calls that do nothing.
package javax.microedition.lcdui;

public class Graphics {
    public void setColor(int rgb) {}
    public void fillRect(int x, int y, int w, int h) {}
    public void drawString(String s, int x, int y, int anchor) {}
}
