// Canvas inspection on javac output and on assembled classes: each kind of mention counted where it is.
#include <gtest/gtest.h>

#include <string>

#include "ClassBuilder.h"
#include "JdkPeer.h"
#include "classfile/CanvasUse.h"

namespace {

using classfile::TCanvasUse;
using classfile_test::Bytes;

constexpr std::string_view kCanvas = "javax/microedition/lcdui/Canvas";

bool SameUse(const TCanvasUse& a, const TCanvasUse& b) {
    return a.SuperLink == b.SuperLink && a.Descriptors == b.Descriptors && a.Casts == b.Casts &&
           a.MemberRefs == b.MemberRefs && a.Strings == b.Strings && a.LongerNames == b.LongerNames &&
           a.StackMapRefs == b.StackMapRefs && a.OtherRefs == b.OtherRefs;
}

std::string Show(const TCanvasUse& u) {
    return "super " + std::to_string(u.SuperLink) + " descriptors " + std::to_string(u.Descriptors) + " casts " +
           std::to_string(u.Casts) + " members " + std::to_string(u.MemberRefs) + " strings " +
           std::to_string(u.Strings) + " longer " + std::to_string(u.LongerNames) + " stackmaps " +
           std::to_string(u.StackMapRefs) + " other " + std::to_string(u.OtherRefs);
}

struct TJavaCase {
    const char* Name;  // internal name; the source is probe/<simple>.java
    const char* Source;
    TCanvasUse Expected;
    bool Beyond;
    uint32_t Raw;
};

TEST(CanvasUse, CountsEachMentionInJavacOutput) {
    if (!testutil::HostHas("javac"))
        GTEST_SKIP() << "no JDK";
    const std::vector<TJavaCase> cases = {
        {"probe/Screen",
         "package probe; import javax.microedition.lcdui.*;\n"
         "public class Screen extends Canvas { protected void paint(Graphics g) { repaint(); } }",
         {true, 0, 0, 0, 0, 0, 0, 0},
         false,
         1},
        {"probe/Holder",
         "package probe; import javax.microedition.lcdui.Canvas;\n"
         "public class Holder {\n"
         "  Canvas field;\n"
         "  Canvas[] array = new Canvas[2];\n"
         "  void take(Canvas c) { field = c; }\n"
         "  boolean test(Object o) { return o instanceof Canvas; }\n"
         "  Object cast(Object o) { return (Canvas) o; }\n"
         "  String name() { return \"javax/microedition/lcdui/Canvas\"; }\n"
         "}",
         // Field, array and parameter descriptors, and the two field references' NameAndTypes; anewarray,
         // instanceof, checkcast; the string shares the class name's Utf8.
         {false, 5, 3, 0, 1, 0, 0, 0},
         true,
         4},
        {"probe/Pick",
         "package probe; import javax.microedition.lcdui.Canvas;\n"
         "public class Pick { static int pick(Object o) { Canvas c = (Canvas) o; int n = 0;\n"
         "  if (c != null) n = c.getWidth(); return n + c.getHeight(); } }",
         // The frame after the branch holds the Canvas local.
         {false, 0, 1, 2, 0, 0, 1, 0},
         true,
         1},
    };
    testutil::TTempDir dir;
    std::map<std::string, std::string> sources;
    for (const TJavaCase& c : cases)
        sources[std::string(c.Name) + ".java"] = c.Source;
    std::string log;
    ASSERT_TRUE(classfile_test::CompileWithMidp(dir, sources, &log)) << log;
    for (const TJavaCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const classfile::TClassInfo info = classfile::Inspect(classfile_test::CompiledClass(dir, c.Name), kCanvas);
        ASSERT_TRUE(info.Parsed()) << info.Status.Reason;
        EXPECT_EQ(c.Name, info.ThisName);
        EXPECT_TRUE(SameUse(c.Expected, info.Use)) << Show(info.Use);
        EXPECT_EQ(c.Beyond, info.BeyondSuperLink);
        EXPECT_EQ(c.Raw, info.RawOccurrences);
    }
}

TEST(CanvasUse, CountsMentionsInAssembledClasses) {
    using classfile_test::TClassBuilder;
    TClassBuilder longer(48, "probe/Longer", "java/lang/Object");
    longer.Class("javax/microedition/lcdui/CanvasEx");
    const uint16_t init = longer.Methodref(std::string(kCanvas), "<init>", "()V");
    longer.AddMethod(0x0009, "make", "()V",
                     {0xBB, 0, static_cast<uint8_t>(longer.Class(kCanvas)), 0xB7, static_cast<uint8_t>(init >> 8),
                      static_cast<uint8_t>(init), 0xB1});
    TClassBuilder plain(48, "probe/Plain", kCanvas);
    plain.String("uses javax/microedition/lcdui/Canvas");
    plain.AddClassAttribute("SourceDebugExtension",
                            {'j', 'a', 'v', 'a', 'x', '/', 'm', 'i', 'c', 'r', 'o', 'e', 'd', 'i', 't', 'i',
                             'o', 'n', '/', 'l', 'c', 'd', 'u', 'i', '/', 'C', 'a', 'n', 'v', 'a', 's'});
    struct TCase {
        const char* What;
        Bytes Class;
        TCanvasUse Expected;
        uint32_t Raw;
    };
    const std::vector<TCase> cases = {
        {"CLDC screen", classfile_test::CldcScreen(47, "probe/Cldc", kCanvas), {true, 1, 0, 0, 0, 0, 1, 0}, 2},
        // new Canvas and its <init> outside a constructor; a longer name.
        {"longer name and init outside a constructor", longer.Build(), {false, 0, 1, 0, 0, 1, 0, 1}, 2},
        // A string naming the class inside a sentence (a longer name too), and the name in an attribute's bytes.
        {"string and attribute text", plain.Build(), {true, 0, 0, 0, 1, 1, 0, 1}, 3},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        const classfile::TClassInfo info = classfile::Inspect(c.Class, kCanvas);
        ASSERT_TRUE(info.Parsed()) << info.Status.Reason;
        EXPECT_TRUE(SameUse(c.Expected, info.Use)) << Show(info.Use);
        EXPECT_TRUE(info.BeyondSuperLink);
        EXPECT_EQ(c.Raw, info.RawOccurrences);
    }
}

}  // namespace
