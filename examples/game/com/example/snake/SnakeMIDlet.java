// A tiny snake game: the MIDlet that shows the board.
package com.example.snake;

import javax.microedition.lcdui.Display;
import javax.microedition.midlet.MIDlet;

public class SnakeMIDlet extends MIDlet {
    private final SnakeCanvas board = new SnakeCanvas();

    protected void startApp() { Display.getDisplay(this).setCurrent(board); }
    protected void pauseApp() {}
    protected void destroyApp(boolean unconditional) {}
}
