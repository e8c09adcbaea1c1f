// The mixed game's MIDlet: both kinds of screen in a Canvas field, a Canvas[] array and a Canvas parameter,
// with a cast and a type test of Canvas; a byte substitution of the Canvas name breaks every one of them.
package games.mixedgame;

import javax.microedition.lcdui.Canvas;
import javax.microedition.lcdui.Display;
import javax.microedition.midlet.MIDlet;

public class MixedMIDlet extends MIDlet {
    private Canvas current;
    private final Canvas[] screens = new Canvas[2];

    protected void startApp() {
        screens[0] = new Menu();
        screens[1] = new Play();
        for (int i = 0; i < screens.length; i++) {
            Object screen = screens[i];
            if (screen instanceof Canvas)
                show((Canvas) screen);
        }
    }

    void show(Canvas screen) {
        current = screen;
        Display.getDisplay(this).setCurrent(current);
    }

    protected void pauseApp() {}
    protected void destroyApp(boolean unconditional) {}
}
