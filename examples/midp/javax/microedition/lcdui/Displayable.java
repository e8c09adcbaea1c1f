// Compile-only stand-in for the MIDP Displayable: just enough for the sample game to build and run a check.
package javax.microedition.lcdui;

public abstract class Displayable {
    public int getWidth() { return 176; }
    public int getHeight() { return 204; }
}
