// Loads and initialises classes in a real JVM, which verifies their bytecode as it links them.
// Usage: java LoadClasses CLASSPATH CLASS... -> "loaded NAME super=SUPER" per class, or "error ..." and exit 1
import java.io.File;
import java.net.URL;
import java.net.URLClassLoader;

public class LoadClasses {
    public static void main(String[] args) throws Exception {
        String[] parts = args[0].split(File.pathSeparator);
        URL[] urls = new URL[parts.length];
        for (int i = 0; i < parts.length; i++)
            urls[i] = new File(parts[i]).toURI().toURL();
        try (URLClassLoader loader = new URLClassLoader(urls, null)) {
            for (int i = 1; i < args.length; i++) {
                Class<?> c = Class.forName(args[i], true, loader);
                System.out.println("loaded " + c.getName() + " super=" + c.getSuperclass().getName());
            }
        } catch (Throwable e) {
            System.out.println("error " + e);
            System.exit(1);
        }
    }
}
