// The canvas game's MIDlet: shows the board.
package games.canvasgame;

import javax.microedition.lcdui.Display;
import javax.microedition.midlet.MIDlet;

public class BoardMIDlet extends MIDlet {
    protected void startApp() { Display.getDisplay(this).setCurrent(new Board()); }
    protected void pauseApp() {}
    protected void destroyApp(boolean unconditional) {}
}
