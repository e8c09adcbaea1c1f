// The super-link rewrite: assembled CLDC screens and javac classes relinked, checked by our proof, javap and
// a verifying JVM; the constructors' calls it must change and those it must leave; its refusals.
#include <gtest/gtest.h>

#include <string>

#include "ClassBuilder.h"
#include "GameFixture.h"
#include "JdkPeer.h"
#include "classfile/CanvasUse.h"
#include "classfile/ClassReader.h"
#include "classfile/RelinkCheck.h"
#include "classfile/SuperRelink.h"

namespace {

using classfile::TClassFile;
using classfile_test::Bytes;
using classfile_test::TClassBuilder;

constexpr std::string_view kCanvas = "javax/microedition/lcdui/Canvas";
constexpr std::string_view kWide = "com/vidorurud/fullscreen/WideCv";
constexpr uint16_t kAccPublic = 0x0001;

Bytes Call(uint8_t opcode, uint16_t index) {
    return {opcode, static_cast<uint8_t>(index >> 8), static_cast<uint8_t>(index)};
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// The Methodref an instruction at `pc` of method `method` names in `bytes`.
uint16_t OperandAt(const Bytes& bytes, size_t method, uint32_t pc) {
    TClassFile cls;
    EXPECT_TRUE(classfile::ReadClass(bytes, cls).Ok());
    const classfile::TCode& code = *cls.Methods.at(method).Code;
    return static_cast<uint16_t>(bytes[code.Offset + pc + 1] << 8 | bytes[code.Offset + pc + 2]);
}

Bytes Relinked(const Bytes& in) {
    std::vector<uint8_t> out;
    const classfile::TStatus status = classfile::RelinkSuper(in, kCanvas, kWide, out);
    EXPECT_TRUE(status.Ok()) << status.Reason;
    std::string why;
    EXPECT_TRUE(classfile::IsSuperRelinkOf(in, out, kCanvas, kWide, &why)) << why;
    return out;
}

TEST(SuperRelink, RelinksCldcScreensOfEveryMidpVersion) {
    testutil::TTempDir dir;
    std::vector<std::string> classFiles;
    std::string classNames;
    for (uint16_t major = 45; major <= 48; ++major) {
        SCOPED_TRACE(major);
        const std::string name = "games/Cldc" + std::to_string(major);
        const Bytes in = classfile_test::CldcScreen(major, name, kCanvas);
        const Bytes out = Relinked(in);
        // Utf8 (3 + name), Class (3), one Methodref (5).
        EXPECT_EQ(in.size() + 3 + kWide.size() + 3 + 5, out.size());
        const classfile::TClassInfo after = classfile::Inspect(out, kWide);
        EXPECT_EQ(kWide, after.SuperName);
        EXPECT_FALSE(after.BeyondSuperLink);
        // The StackMap still names Canvas: a Canvas local accepts every screen.
        EXPECT_EQ(1u, classfile::Inspect(out, kCanvas).Use.StackMapRefs);
        testutil::WriteFile(dir / ("cls/" + name + ".class"), out);
        classFiles.push_back(dir / ("cls/" + name + ".class"));
        classNames += " games.Cldc" + std::to_string(major);
    }
    if (!games::HaveJdk())
        GTEST_SKIP() << "no JDK: checked by the proof only, not by javap and a JVM";
    std::string text;
    ASSERT_TRUE(games::BuildGames(dir / "games", &text)) << text;
    testutil::WriteFile(dir / "cls/com/vidorurud/fullscreen/WideCv.class",
                        testutil::ReadFile(dir / "games/WideCv.class"));
    EXPECT_EQ(0, classfile_test::Javap(classFiles, &text)) << text;
    for (uint16_t major = 45; major <= 48; ++major)
        EXPECT_NE(std::string::npos,
                  text.find("class games.Cldc" + std::to_string(major) + " extends com.vidorurud.fullscreen.WideCv"))
            << text;
    const std::string classPath =
        testutil::ToHostPath(dir / "cls") + ":" + testutil::ToHostPath(dir / "games/midp.jar");
    EXPECT_EQ(0, classfile_test::LoadInJvm(dir, classPath, classNames, &text)) << text;
    for (uint16_t major = 45; major <= 48; ++major)
        EXPECT_NE(std::string::npos,
                  text.find("loaded games.Cldc" + std::to_string(major) + " super=com.vidorurud.fullscreen.WideCv"))
            << text;
}

TEST(SuperRelink, ChangesOnlyTheConstructorsCallsOfTheOldSuper) {
    TClassBuilder b(48, "probe/Screens", kCanvas);
    const uint16_t plain = b.Methodref(kCanvas, "<init>", "()V");
    const uint16_t sized = b.Methodref(kCanvas, "<init>", "(I)V");
    const uint16_t self = b.Methodref("probe/Screens", "<init>", "(Z)V");
    const uint16_t paint = b.Methodref(kCanvas, "repaint", "()V");
    // <init>()V: super(); repaint via invokespecial. <init>(I)V: super(int). <init>(Z)V: this(). make(): the
    // Canvas constructor called outside a constructor.
    b.AddMethod(kAccPublic, "<init>", "()V", Concat({{0x2A}, Call(0xB7, plain), {0x2A}, Call(0xB7, paint), {0xB1}}));
    b.AddMethod(kAccPublic, "<init>", "(I)V", Concat({{0x2A, 0x1B}, Call(0xB7, sized), {0xB1}}));
    b.AddMethod(kAccPublic, "<init>", "(Z)V", Concat({{0x2A}, Call(0xB7, self), {0xB1}}));
    b.AddMethod(kAccPublic, "make", "()V", Concat({{0x2A}, Call(0xB7, plain), {0xB1}}));
    const Bytes in = b.Build();
    const Bytes out = Relinked(in);
    const uint16_t count = static_cast<uint16_t>(b.PoolCount());
    EXPECT_EQ(count + 2, OperandAt(out, 0, 1));  // the first appended Methodref: pool order, ()V first
    EXPECT_EQ(paint, OperandAt(out, 0, 5));      // not an <init>
    EXPECT_EQ(count + 3, OperandAt(out, 1, 2));  // (I)V
    EXPECT_EQ(self, OperandAt(out, 2, 1));       // this(...)
    EXPECT_EQ(plain, OperandAt(out, 3, 1));      // outside a constructor
    TClassFile cls;
    ASSERT_TRUE(classfile::ReadClass(out, cls).Ok());
    EXPECT_EQ(count + 4u, cls.Pool.size());
    EXPECT_EQ(kWide, cls.RefClassName(count + 3));
    EXPECT_EQ(cls.Pool[sized].Second, cls.Pool[count + 3].Second);
}

TEST(SuperRelink, FillsThePoolToItsLastSlotAndRefusesOneMore) {
    for (uint32_t fill : {0u, 1u}) {
        SCOPED_TRACE(fill);
        TClassBuilder b(48, "probe/Full", kCanvas);
        const uint16_t init = b.Methodref(kCanvas, "<init>", "()V");
        b.AddMethod(kAccPublic, "<init>", "()V", Concat({{0x2A}, Call(0xB7, init), {0xB1}}));
        // Longs (two slots each) and an Integer until the rewrite's three new slots end at 65535, or one past.
        while (b.PoolCount() + 3 + 2 <= 65535 + fill)
            b.Long(b.PoolCount());
        if (b.PoolCount() + 3 < 65535 + fill)
            b.Constant(3, {0, 0, 0, 1});
        ASSERT_EQ(65535u + fill, b.PoolCount() + 3);
        const Bytes in = b.Build();
        std::vector<uint8_t> out;
        const classfile::TStatus status = classfile::RelinkSuper(in, kCanvas, kWide, out);
        if (fill == 0) {
            ASSERT_TRUE(status.Ok()) << status.Reason;
            std::string why;
            EXPECT_TRUE(classfile::IsSuperRelinkOf(in, out, kCanvas, kWide, &why)) << why;
        } else {
            EXPECT_STREQ("the constant pool would pass 65535 slots", status.Reason);
            EXPECT_TRUE(out.empty());
        }
    }
}

struct TRefusal {
    const char* What;
    Bytes Class;
    std::string_view From;
    std::string_view To;
    const char* Reason;
};

TEST(SuperRelink, RefusesWhatItMustNotRewrite) {
    TClassBuilder creates(48, "probe/Creates", kCanvas);
    const uint16_t init = creates.Methodref(kCanvas, "<init>", "()V");
    creates.AddMethod(
        kAccPublic, "<init>", "()V",
        Concat({{0x2A}, Call(0xB7, init), Call(0xBB, creates.SuperClass()), {0x59}, Call(0xB7, init), {0x57, 0xB1}}));
    Bytes damaged = classfile_test::CldcScreen(47, "probe/Cldc", kCanvas);
    damaged.resize(damaged.size() - 1);
    const std::vector<TRefusal> cases = {
        {"another super class",
         classfile_test::CldcScreen(47, "probe/Game", "javax/microedition/lcdui/game/GameCanvas"), kCanvas, kWide,
         "the class does not extend the class to replace"},
        {"a constructor creating the old super", creates.Build(), kCanvas, kWide,
         "a constructor creates an instance of the old super class"},
        {"damaged class", damaged, kCanvas, kWide, "the class file ends early"},
        {"empty new name", classfile_test::CldcScreen(47, "probe/Cldc", kCanvas), kCanvas, "",
         "a class name is empty or too long"},
    };
    for (const TRefusal& c : cases) {
        SCOPED_TRACE(c.What);
        std::vector<uint8_t> out{1, 2, 3};
        EXPECT_STREQ(c.Reason, classfile::RelinkSuper(c.Class, c.From, c.To, out).Reason);
        EXPECT_TRUE(out.empty());
    }
}

}  // namespace
