// Test stand-in for the MIDP Display: keeps every screen made current, in order, for the runner to report.
package javax.microedition.lcdui;

import java.util.Vector;
import javax.microedition.midlet.MIDlet;

public class Display {
    public static final Vector shown = new Vector();
    private static final Display INSTANCE = new Display();

    public static Display getDisplay(MIDlet m) { return INSTANCE; }

    @SuppressWarnings("unchecked")
    public void setCurrent(Displayable d) { shown.addElement(d); }
}
