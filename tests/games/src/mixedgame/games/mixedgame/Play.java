// The mixed game's play screen: a GameCanvas, kept beside the menu wherever the game holds a Canvas.
package games.mixedgame;

import javax.microedition.lcdui.game.GameCanvas;

public class Play extends GameCanvas {
    public Play() {
        super(true);
    }
}
