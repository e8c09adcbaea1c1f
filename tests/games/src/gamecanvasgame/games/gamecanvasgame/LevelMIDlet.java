// The game canvas game's MIDlet: draws the level once and shows it.
package games.gamecanvasgame;

import javax.microedition.lcdui.Display;
import javax.microedition.midlet.MIDlet;

public class LevelMIDlet extends MIDlet {
    protected void startApp() {
        Level level = new Level();
        level.draw();
        Display.getDisplay(this).setCurrent(level);
    }
    protected void pauseApp() {}
    protected void destroyApp(boolean unconditional) {}
}
