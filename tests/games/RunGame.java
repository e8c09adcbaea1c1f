// Starts a MIDlet jar in a real JVM (bytecode verified, as for any class a URLClassLoader defines) against
// the MIDP stand-ins, and prints one line per screen made current:
//   screen NAME super=SUPERCLASS fullscreen=true|false
// or "error EXCEPTION: MESSAGE" and a non-zero exit on any exception or verification error.
// Usage: java RunGame GAME.jar MIDP.jar [MORE.jar...]
import java.lang.reflect.Constructor;
import java.lang.reflect.InvocationTargetException;
import java.lang.reflect.Method;
import java.net.URL;
import java.net.URLClassLoader;
import java.nio.file.Paths;
import java.util.List;
import java.util.jar.JarFile;

public class RunGame {
    public static void main(String[] args) throws Exception {
        URL[] urls = new URL[args.length];
        for (int i = 0; i < args.length; i++)
            urls[i] = Paths.get(args[i]).toUri().toURL();
        try (URLClassLoader loader = new URLClassLoader(urls, null)) {
            run(loader, midletClass(args[0]));
        } catch (Throwable e) {
            Throwable cause = e instanceof InvocationTargetException ? e.getCause() : e;
            System.out.println("error " + cause.getClass().getName() + ": " + cause.getMessage());
            System.exit(1);
        }
    }

    // The class named by MIDlet-1 ("name, icon, class") in the jar's manifest.
    private static String midletClass(String jar) throws Exception {
        try (JarFile file = new JarFile(jar)) {
            String[] parts = file.getManifest().getMainAttributes().getValue("MIDlet-1").split(",");
            return parts[2].trim();
        }
    }

    private static void run(ClassLoader loader, String name) throws Exception {
        Constructor<?> ctor = Class.forName(name, true, loader).getDeclaredConstructor();
        ctor.setAccessible(true);
        Object midlet = ctor.newInstance();
        Method start = Class.forName("javax.microedition.midlet.MIDlet", true, loader).getDeclaredMethod("startApp");
        start.setAccessible(true);
        start.invoke(midlet);
        System.out.println("started " + name);
        Class<?> display = Class.forName("javax.microedition.lcdui.Display", true, loader);
        Class<?> canvas = Class.forName("javax.microedition.lcdui.Canvas", true, loader);
        for (Object screen : (List<?>) display.getField("shown").get(null)) {
            Class<?> type = screen.getClass();
            boolean full = canvas.isInstance(screen) && canvas.getField("fullScreenMode").getBoolean(screen);
            System.out.println("screen " + type.getSimpleName() + " super=" + type.getSuperclass().getName()
                               + " fullscreen=" + full);
        }
    }
}
