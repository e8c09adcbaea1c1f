// Compile-only stand-in for the MIDP Display.
package javax.microedition.lcdui;

import javax.microedition.midlet.MIDlet;

public class Display {
    private static final Display INSTANCE = new Display();

    public static Display getDisplay(MIDlet m) { return INSTANCE; }

    public void setCurrent(Displayable d) {}
}
