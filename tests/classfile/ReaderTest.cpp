// The class reader on assembled classes: every MIDP-era version, every constant kind, damaged records.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ClassBuilder.h"
#include "classfile/CanvasUse.h"
#include "classfile/ClassReader.h"
#include "classfile/RelinkCheck.h"
#include "classfile/SuperRelink.h"

namespace {

using classfile::TClassFile;
using classfile_test::Bytes;
using classfile_test::CldcScreen;
using classfile_test::Put16;
using classfile_test::Put32;
using classfile_test::TClassBuilder;

constexpr std::string_view kCanvas = "javax/microedition/lcdui/Canvas";
constexpr std::string_view kWide = "com/vidorurud/fullscreen/WideCv";

TEST(ClassReader, ReadsCldcScreensWithTheirStackMapsAtEveryMidpVersion) {
    for (uint16_t major = 45; major <= 48; ++major) {
        SCOPED_TRACE(major);
        const Bytes bytes = CldcScreen(major, "games/Cldc", kCanvas);
        TClassFile cls;
        ASSERT_TRUE(classfile::ReadClass(bytes, cls).Ok());
        EXPECT_EQ(major, cls.Major);
        EXPECT_EQ("games/Cldc", cls.ClassName(cls.ThisClass));
        EXPECT_EQ(kCanvas, cls.ClassName(cls.SuperClass));
        ASSERT_EQ(2u, cls.Methods.size());
        ASSERT_TRUE(cls.Methods[1].Code);
        EXPECT_EQ(std::vector<uint16_t>{cls.SuperClass}, cls.Methods[1].Code->StackMapClasses);
    }
}

TEST(ClassReader, ReadsEveryConstantKindWithLongsAndDoublesTakingTwoSlots) {
    TClassBuilder b(61, "probe/Kinds", "java/lang/Object");
    Bytes four;
    Put32(four, 7);
    Bytes eight = four;
    Put32(eight, 0);
    b.Constant(3, four);
    b.Constant(4, four);
    const uint16_t longIndex = b.Long(1);
    const uint16_t doubleIndex = b.Constant(6, eight, 2);
    Bytes handle{6};  // REF_invokeStatic
    Put16(handle, b.Methodref("probe/Kinds", "run", "()V"));
    const uint16_t handleIndex = b.Constant(15, handle);
    Bytes utf8Index;
    Put16(utf8Index, b.Utf8("()V"));
    Bytes dynamic;
    Put16(dynamic, 0);  // bootstrap method 0: not a pool index
    Put16(dynamic, b.NameAndType("x", "I"));
    const uint16_t last = b.Constant(20, utf8Index);
    for (uint8_t tag : {16, 19})
        b.Constant(tag, utf8Index);
    for (uint8_t tag : {17, 18})
        b.Constant(tag, dynamic);
    const Bytes bytes = b.Build();
    TClassFile cls;
    ASSERT_TRUE(classfile::ReadClass(bytes, cls).Ok());
    EXPECT_EQ(classfile::ctLong, cls.Tag(longIndex));
    EXPECT_EQ(classfile::ctNone, cls.Tag(longIndex + 1));
    EXPECT_EQ(classfile::ctDouble, cls.Tag(doubleIndex));
    EXPECT_EQ(classfile::ctNone, cls.Tag(doubleIndex + 1));
    EXPECT_EQ(classfile::ctMethodHandle, cls.Tag(handleIndex));
    EXPECT_EQ(classfile::ctPackage, cls.Tag(last));
    EXPECT_EQ(b.PoolCount(), cls.Pool.size());
}

// A damaged class: the screen's bytes changed by `damage`, and the reason the reader must give.
struct TDamage {
    const char* Fault;
    std::function<Bytes()> Make;
    const char* Reason;
};

Bytes Screen() {
    return CldcScreen(47, "games/Cldc", kCanvas);
}

Bytes With(Bytes bytes, size_t at, std::initializer_list<uint8_t> patch) {
    std::copy(patch.begin(), patch.end(), bytes.begin() + at);
    return bytes;
}

// A class with one method whose code is `code` (version 50: no stack map needed for straight code).
Bytes WithCode(const Bytes& code, uint16_t major = 50, const Bytes& stackMap = {}) {
    TClassBuilder b(major, "probe/Code", "java/lang/Object");
    b.AddMethod(0x0009, "run", "()V", code, stackMap);
    return b.Build();
}

TEST(ClassReader, RejectsDamagedClassesWithTheirReason) {
    const std::vector<TDamage> cases = {
        {"no magic",
         [] {
             return With(Screen(), 0, {0xCA, 0xFE, 0xBA, 0xBF});
         },
         "not a class file: no CAFEBABE magic"},
        {"version 44",
         [] {
             return With(Screen(), 6, {0, 44});
         },
         "the class file's major version is below 45"},
        {"zero pool count",
         [] {
             return With(Screen(), 8, {0, 0});
         },
         "the constant pool count is zero"},
        {"unknown tag", [] { return With(Screen(), 10, {2}); }, "the constant pool holds an unknown tag"},
        {"class naming a class",
         [] {
             TClassBuilder b(47, "a/A", "");
             Bytes body;
             Put16(body, b.ThisClass());
             b.Constant(7, body);
             return b.Build();
         },
         "a constant names a Utf8 that is not there"},
        {"long in the last slot",
         [] {
             TClassBuilder b(47, "a/A", "");
             b.Long(5);
             const uint32_t count = b.PoolCount() - 1;
             return With(b.Build(), 8, {static_cast<uint8_t>(count >> 8), static_cast<uint8_t>(count)});
         },
         "a Long or Double constant takes the pool's last slot"},
        {"bytes after the end",
         [] {
             Bytes b = Screen();
             b.push_back(0);
             return b;
         },
         "bytes follow the end of the class file"},
        {"unknown opcode",
         [] {
             return WithCode({0xCA, 0xB1});
         },
         "the code holds an unknown opcode"},
        {"instruction past the end",
         [] {
             return WithCode({0x11, 0x00});
         },
         "an instruction runs past the end of the code"},
        {"pool operand out of range",
         [] {
             return WithCode({0xB2, 0x7F, 0x00, 0xB1});
         },
         "an instruction names a constant that is not there"},
        {"empty code", [] { return WithCode({}); }, "a method's code length is zero or above 65535"},
        {"reserved frame kind",
         [] {
             return WithCode({0xB1}, 50, {0, 1, 200});
         },
         "a stack map frame has a reserved kind"},
        {"unknown verification type",
         [] {
             return WithCode({0xB1}, 50, {0, 1, 64, 9});
         },
         "a stack map holds an unknown verification type"},
        {"stack map with spare bytes",
         [] {
             return WithCode({0xB1}, 47, {0, 0, 0});
         },
         "a stack map is shorter than its attribute"},
        {"cldc stack map cut short",
         [] {
             return WithCode({0xB1}, 47, {0, 1, 0, 0, 0, 1});
         },
         "a stack map ends early"},
        {"object type naming no class",
         [] {
             return WithCode({0xB1}, 47, {0, 1, 0, 0, 0, 1, 7, 0, 1, 0, 0});
         },
         "a stack map's Object type is not a Class constant"},
    };
    for (const TDamage& c : cases) {
        SCOPED_TRACE(c.Fault);
        const Bytes bytes = c.Make();
        TClassFile cls;
        const classfile::TStatus status = classfile::ReadClass(bytes, cls);
        ASSERT_FALSE(status.Ok());
        EXPECT_STREQ(c.Reason, status.Reason);
        EXPECT_FALSE(classfile::Inspect(bytes, kCanvas).Parsed());
        EXPECT_TRUE(classfile::Inspect(bytes, kCanvas).BeyondSuperLink);
    }
}

TEST(ClassReader, EveryCutOfAClassGivesAClearStatus) {
    for (uint16_t major : {47, 52}) {
        const Bytes whole =
            major < 50 ? Screen()
                       : WithCode({0x10, 1, 0xAA, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xB1}, major);
        for (size_t size = 0; size < whole.size(); ++size) {
            SCOPED_TRACE(size);
            const Bytes cut(whole.begin(), whole.begin() + size);
            TClassFile cls;
            const classfile::TStatus status = classfile::ReadClass(cut, cls);
            ASSERT_FALSE(status.Ok());
            EXPECT_NE(std::string(), status.Reason);
            std::vector<uint8_t> out;
            EXPECT_FALSE(classfile::RelinkSuper(cut, kCanvas, kWide, out).Ok());
            EXPECT_TRUE(out.empty());
            EXPECT_FALSE(classfile::IsSuperRelinkOf(cut, cut, kCanvas, kWide, nullptr));
            EXPECT_FALSE(classfile::Inspect(cut, kCanvas).Parsed());
        }
    }
}

}  // namespace
