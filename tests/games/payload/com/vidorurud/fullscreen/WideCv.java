// The full-screen canvas the patch links screens to, rebuilt from source for tests: switches to full
// screen in its constructor and reports the C650's full-screen size.
package com.vidorurud.fullscreen;

import javax.microedition.lcdui.Canvas;

public abstract class WideCv extends Canvas {
    protected WideCv() {
        setFullScreenMode(true);
    }

    public int getWidth() { return 128; }

    public int getHeight() { return 116; }
}
