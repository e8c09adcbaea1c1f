// The board: a Canvas whose size decides how many cells fit on the screen.
package com.example.snake;

import javax.microedition.lcdui.Canvas;
import javax.microedition.lcdui.Graphics;

public class SnakeCanvas extends Canvas {
    static final int CELL = 4;
    private int x = 10, y = 10, dx = 1, dy = 0;

    public int columns() { return getWidth() / CELL; }
    public int rows() { return getHeight() / CELL; }

    protected void paint(Graphics g) {
        g.setColor(0x000000);
        g.fillRect(0, 0, getWidth(), getHeight());
        g.setColor(0x00FF00);
        g.fillRect(x * CELL, y * CELL, CELL, CELL);
        g.drawString("Snake " + columns() + "x" + rows(), 0, 0, 0);
    }

    protected void keyPressed(int keyCode) {
        if (keyCode == KEY_NUM2) { dx = 0; dy = -1; }
        x = (x + dx + columns()) % columns();
        y = (y + dy + rows()) % rows();
        repaint();
    }

    static final int KEY_NUM2 = 50;
}
