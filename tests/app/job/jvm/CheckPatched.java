// Loads a patched MIDlet jar in a real JVM (with bytecode verification) against the MIDP stand-in and
// checks that the screen class now extends the full-screen canvas, which switches to full screen.
// Usage: java CheckPatched PATCHED.jar MIDP.jar SCREEN_CLASS
import java.lang.reflect.Constructor;
import java.lang.reflect.Field;
import java.net.URL;
import java.net.URLClassLoader;
import java.nio.file.Paths;

public class CheckPatched {
    public static void main(String[] args) throws Exception {
        URL[] urls = {Paths.get(args[0]).toUri().toURL(), Paths.get(args[1]).toUri().toURL()};
        try (URLClassLoader loader = new URLClassLoader(urls, null)) {
            Class<?> screen = Class.forName(args[2], true, loader);
            Class<?> wide = screen.getSuperclass();
            expect("com.vidorurud.fullscreen.WideCv".equals(wide.getName()), "screen superclass is " + wide.getName());
            Class<?> canvas = wide.getSuperclass();
            expect("javax.microedition.lcdui.Canvas".equals(canvas.getName()), "WideCv superclass is " + canvas.getName());
            expect(java.lang.reflect.Modifier.isAbstract(wide.getModifiers()), "WideCv is abstract");

            Constructor<?> ctor = screen.getDeclaredConstructor();
            ctor.setAccessible(true);
            Object board = ctor.newInstance();
            Field calls = canvas.getField("fullScreenCalls");
            Field mode = canvas.getField("lastFullScreenMode");
            expect(calls.getInt(null) == 1, "setFullScreenMode calls: " + calls.getInt(null));
            expect(mode.getBoolean(null), "full-screen mode switched on");
            int width = (Integer) wide.getMethod("getWidth").invoke(board);
            int height = (Integer) wide.getMethod("getHeight").invoke(board);
            expect(width == 128 && height == 116, "screen size " + width + "x" + height);
            System.out.println("OK " + screen.getName() + " -> " + wide.getName() + " -> " + canvas.getName());
        }
    }

    private static void expect(boolean ok, String what) {
        if (!ok) {
            System.out.println("FAILED: " + what);
            System.exit(1);
        }
    }
}
