// The carried WideCv.class: item 0's values, the written bytes against the reference digest, a
// class-file walk of the written file, and javap where a JDK is present.
#include "app/forms/Payload.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "storage/Ratio.h"
#include "tests/TestUtil.h"
#include "tests/storage/HostPeers.h"

using testutil::Bytes;

namespace {

// SHA-256 of the reference class file and of the reference persisted "StoredItem" data.
constexpr const char* kClassSha256 = "1d1faeaaca4b72fe88b82e01dac830f0ba50d3e21d0d7d3431e1c33208b54f85";
constexpr const char* kStoredItemSha256 = "6085588627d4fea081c030f0521d5e64d51317f19a530fb9c14a1c6cc2ebcc74";
constexpr size_t kClassSize = 388;

Bytes WrittenClass() {
    storage::TmxStorage storeClass(nullptr);
    app::LoadStoreClass(storeClass);
    testutil::TTempDir dir;
    const std::string path = dir / "WideCv.class";
    storeClass.GetStoredItem(0)->SaveToFile(path);
    return testutil::ReadFile(path);
}

// Big-endian reads that refuse to run past the end of the file.
class TClassReader {
public:
    explicit TClassReader(const Bytes& data) : FData(data) {}
    size_t Offset() const { return FOffset; }
    uint32_t U1() { return Take(1); }
    uint32_t U2() { return Take(2); }
    uint32_t U4() { return Take(4); }
    std::string Utf8(size_t length) {
        Need(length);
        std::string s(FData.begin() + static_cast<std::ptrdiff_t>(FOffset),
                      FData.begin() + static_cast<std::ptrdiff_t>(FOffset + length));
        FOffset += length;
        return s;
    }

private:
    void Need(size_t n) const {
        if (FOffset + n > FData.size())
            throw std::runtime_error("class file ends early");
    }
    uint32_t Take(size_t n) {
        Need(n);
        uint32_t v = 0;
        for (size_t i = 0; i < n; ++i)
            v = v << 8 | FData[FOffset++];
        return v;
    }
    const Bytes& FData;
    size_t FOffset = 0;
};

struct TConstant {
    size_t offset = 0;
    uint32_t tag = 0;
    std::string text;       // Utf8
    uint32_t a = 0, b = 0;  // indexes of Class, NameAndType, Methodref
};

struct TMethod {
    size_t offset = 0;
    uint32_t access = 0;
    std::string name, descriptor;
    uint32_t codeLength = 0, maxStack = 0, maxLocals = 0;
    Bytes code;
    std::vector<std::pair<uint32_t, uint32_t>> lines;
};

struct TClassFile {
    uint32_t magic = 0, minor = 0, major = 0;
    std::map<uint32_t, TConstant> pool;
    uint32_t access = 0, thisClass = 0, superClass = 0;
    std::vector<TMethod> methods;
    size_t attributesOffset = 0;
    std::string sourceFile;
    size_t end = 0;
};

const std::string& Utf8At(const TClassFile& cf, uint32_t index) {
    const TConstant& c = cf.pool.at(index);
    if (c.tag != 1)
        throw std::runtime_error("not a Utf8 entry");
    return c.text;
}

void ReadPool(TClassReader& r, TClassFile& cf) {
    const uint32_t count = r.U2();
    for (uint32_t i = 1; i < count; ++i) {
        TConstant c;
        c.offset = r.Offset();
        c.tag = r.U1();
        switch (c.tag) {
            case 1:
                c.text = r.Utf8(r.U2());
                break;
            case 7:
                c.a = r.U2();
                break;
            case 10:
            case 12:
                c.a = r.U2();
                c.b = r.U2();
                break;
            default:
                throw std::runtime_error("unexpected constant tag " + std::to_string(c.tag));
        }
        cf.pool[i] = c;
    }
}

TMethod ReadMethod(TClassReader& r, const TClassFile& cf) {
    TMethod m;
    m.offset = r.Offset();
    m.access = r.U2();
    m.name = Utf8At(cf, r.U2());
    m.descriptor = Utf8At(cf, r.U2());
    if (r.U2() != 1)
        throw std::runtime_error("a method has one attribute");
    if (Utf8At(cf, r.U2()) != "Code")
        throw std::runtime_error("the attribute is Code");
    m.codeLength = r.U4();
    const size_t codeStart = r.Offset();
    m.maxStack = r.U2();
    m.maxLocals = r.U2();
    const uint32_t length = r.U4();
    for (uint32_t i = 0; i < length; ++i)
        m.code.push_back(static_cast<uint8_t>(r.U1()));
    if (r.U2() != 0)
        throw std::runtime_error("no exception table");
    if (r.U2() != 1 || Utf8At(cf, r.U2()) != "LineNumberTable")
        throw std::runtime_error("one LineNumberTable");
    const uint32_t tableLength = r.U4();
    const uint32_t entries = r.U2();
    if (tableLength != 2 + 4 * entries)
        throw std::runtime_error("LineNumberTable length");
    for (uint32_t i = 0; i < entries; ++i) {
        const uint32_t pc = r.U2();
        m.lines.emplace_back(pc, r.U2());
    }
    if (r.Offset() - codeStart != m.codeLength)
        throw std::runtime_error("Code length");
    return m;
}

TClassFile ParseClass(const Bytes& data) {
    TClassReader r(data);
    TClassFile cf;
    cf.magic = r.U4();
    cf.minor = r.U2();
    cf.major = r.U2();
    ReadPool(r, cf);
    cf.access = r.U2();
    cf.thisClass = r.U2();
    cf.superClass = r.U2();
    if (r.U2() != 0 || r.U2() != 0)
        throw std::runtime_error("no interfaces and no fields");
    const uint32_t methods = r.U2();
    for (uint32_t i = 0; i < methods; ++i)
        cf.methods.push_back(ReadMethod(r, cf));
    cf.attributesOffset = r.Offset();
    if (r.U2() != 1 || Utf8At(cf, r.U2()) != "SourceFile" || r.U4() != 2)
        throw std::runtime_error("one SourceFile attribute");
    cf.sourceFile = Utf8At(cf, r.U2());
    cf.end = r.Offset();
    return cf;
}

}  // namespace

TEST(PayloadStoreClass, ReadsTheValuesOfTheMainWindow) {
    storage::TmxStorage storeClass(nullptr);
    app::LoadStoreClass(storeClass);
    EXPECT_FALSE(storeClass.Loading());
    EXPECT_EQ("1.1", storeClass.Version());
    EXPECT_EQ(388, storeClass.OriginalSize());
    EXPECT_EQ(294, storeClass.Size());
    ASSERT_EQ(1, storeClass.StoredItems().Count());
    const storage::TmxStoredItem& item = *storeClass.GetStoredItem(0);
    EXPECT_EQ(storage::clMax, item.Compression());
    EXPECT_EQ(0, item.Tag());
    EXPECT_EQ("mxStoredItem1", item.Name());
    EXPECT_EQ("WideCv.class", item.FileName());
    EXPECT_EQ(388, item.FileSize());
    EXPECT_EQ(294, item.Size());
}

TEST(PayloadStoreClass, RatioFollowsTheDecimalSeparator) {
    storage::TmxStorage storeClass(nullptr);
    app::LoadStoreClass(storeClass);
    const char saved = storage::DecimalSeparator();
    for (const auto& [separator, text] : {std::pair{',', "75,77%"}, std::pair{'.', "75.77%"}}) {
        storage::SetDecimalSeparator(separator);
        EXPECT_EQ(text, storeClass.Ratio());
        EXPECT_EQ(text, storeClass.GetStoredItem(0)->Ratio());
    }
    storage::SetDecimalSeparator(saved);
}

TEST(PayloadStoreClass, LeavesAFormsLoadingStateToTheForm) {
    storage::TmxStorage storeClass(nullptr);
    storeClass.BeginLoading();
    app::LoadStoreClass(storeClass);
    EXPECT_TRUE(storeClass.Loading());
    storeClass.EndLoading();
    // Loaded: run-time writes no longer reach the file's name and size.
    storeClass.GetStoredItem(0)->SetFileSize(1);
    storeClass.GetStoredItem(0)->SetFileName("x");
    EXPECT_EQ(388, storeClass.OriginalSize());
    EXPECT_EQ("WideCv.class", storeClass.GetStoredItem(0)->FileName());
}

TEST(PayloadStoreClass, PersistedFormIsTheReferenceData) {
    storage::TmxStorage storeClass(nullptr);
    app::LoadStoreClass(storeClass);
    fw::TMemoryStream form;
    storeClass.GetStoredItem(0)->WriteStoredItem(form);
    ASSERT_EQ(298u, form.Bytes().size());
    EXPECT_EQ(kStoredItemSha256, hostpeers::Sha256(form.Bytes()));
    const Bytes data(form.Bytes().begin() + 4, form.Bytes().end());
    const Bytes frame = hostpeers::Inflate(data);
    ASSERT_EQ(392u, frame.size());
    EXPECT_EQ((Bytes{0x84, 0x01, 0x00, 0x00}), Bytes(frame.begin(), frame.begin() + 4));
    EXPECT_EQ(WrittenClass(), Bytes(frame.begin() + 4, frame.end()));
}

TEST(PayloadClassFile, SaveToFileWritesTheReferenceBytes) {
    const Bytes written = WrittenClass();
    ASSERT_EQ(kClassSize, written.size());
    EXPECT_EQ(kClassSha256, hostpeers::Sha256(written));
}

TEST(PayloadClassFile, ParsesByTheClassFormatToTheLastByte) {
    const Bytes written = WrittenClass();
    const TClassFile cf = ParseClass(written);
    EXPECT_EQ(0xCAFEBABEu, cf.magic);
    EXPECT_EQ(0u, cf.minor);
    EXPECT_EQ(48u, cf.major);
    EXPECT_EQ(kClassSize, cf.end);
    EXPECT_EQ(written.size(), cf.end);

    struct TEntry {
        uint32_t index;
        size_t offset;
        uint32_t tag;
        std::string text;
        uint32_t a, b;
    };
    const TEntry entries[] = {
        {1, 10, 1, "com/vidorurud/fullscreen/WideCv", 0, 0},
        {2, 44, 7, "", 1, 0},
        {3, 47, 1, "javax/microedition/lcdui/Canvas", 0, 0},
        {4, 81, 7, "", 3, 0},
        {5, 84, 1, "getWidth", 0, 0},
        {6, 95, 1, "()I", 0, 0},
        {7, 101, 1, "Code", 0, 0},
        {8, 108, 1, "LineNumberTable", 0, 0},
        {9, 126, 1, "getHeight", 0, 0},
        {10, 138, 1, "<init>", 0, 0},
        {11, 147, 1, "()V", 0, 0},
        {12, 153, 12, "", 10, 11},
        {13, 158, 10, "", 4, 12},
        {14, 163, 1, "setFullScreenMode", 0, 0},
        {15, 183, 1, "(Z)V", 0, 0},
        {16, 190, 12, "", 14, 15},
        {17, 195, 10, "", 2, 16},
        {18, 200, 1, "SourceFile", 0, 0},
        {19, 213, 1, "WideCv.java", 0, 0},
    };
    ASSERT_EQ(19u, cf.pool.size());
    for (const TEntry& e : entries) {
        const TConstant& c = cf.pool.at(e.index);
        EXPECT_EQ(e.offset, c.offset) << e.index;
        EXPECT_EQ(e.tag, c.tag) << e.index;
        EXPECT_EQ(e.text, c.text) << e.index;
        EXPECT_EQ(e.a, c.a) << e.index;
        EXPECT_EQ(e.b, c.b) << e.index;
    }
    // The two names the patcher exchanges have the same length prefix.
    EXPECT_EQ((Bytes{0x00, 31}), Bytes(written.begin() + 11, written.begin() + 13));
    EXPECT_EQ((Bytes{0x00, 31}), Bytes(written.begin() + 48, written.begin() + 50));

    EXPECT_EQ(0x0421u, cf.access);
    EXPECT_EQ(2u, cf.thisClass);
    EXPECT_EQ(4u, cf.superClass);

    struct TMethodCase {
        size_t offset;
        uint32_t access;
        const char* name;
        const char* descriptor;
        uint32_t codeLength, maxStack, maxLocals;
        Bytes code;
        std::vector<std::pair<uint32_t, uint32_t>> lines;
    };
    const TMethodCase methods[] = {
        {239, 0x0001, "getWidth", "()I", 28, 1, 1, {0x11, 0x00, 0x80, 0xAC}, {{0, 20}}},
        {281, 0x0001, "getHeight", "()I", 27, 1, 1, {0x10, 0x74, 0xAC}, {{0, 25}}},
        {322,
         0x0004,
         "<init>",
         "()V",
         42,
         2,
         1,
         {0x2A, 0xB7, 0x00, 0x0D, 0x2A, 0x04, 0xB6, 0x00, 0x11, 0xB1},
         {{0, 14}, {4, 15}, {9, 16}}},
    };
    ASSERT_EQ(3u, cf.methods.size());
    for (size_t i = 0; i < 3; ++i) {
        const TMethod& m = cf.methods[i];
        const TMethodCase& want = methods[i];
        EXPECT_EQ(want.offset, m.offset) << want.name;
        EXPECT_EQ(want.access, m.access) << want.name;
        EXPECT_EQ(want.name, m.name);
        EXPECT_EQ(want.descriptor, m.descriptor) << want.name;
        EXPECT_EQ(want.codeLength, m.codeLength) << want.name;
        EXPECT_EQ(want.maxStack, m.maxStack) << want.name;
        EXPECT_EQ(want.maxLocals, m.maxLocals) << want.name;
        EXPECT_EQ(want.code, m.code) << want.name;
        EXPECT_EQ(want.lines, m.lines) << want.name;
    }
    EXPECT_EQ(378u, cf.attributesOffset);
    EXPECT_EQ("WideCv.java", cf.sourceFile);
}

TEST(PayloadClassFile, JavapReadsTheWrittenClass) {
    if (!testutil::HostHas("javap"))
        GTEST_SKIP() << "no JDK on this host";
    storage::TmxStorage storeClass(nullptr);
    app::LoadStoreClass(storeClass);
    testutil::TTempDir dir;
    const std::string path = dir / "WideCv.class";
    storeClass.GetStoredItem(0)->SaveToFile(path);
    std::string out;
    ASSERT_EQ(0, testutil::RunHost("javap -v " + testutil::Quote(testutil::ToHostPath(path)) + " 2>&1", &out)) << out;
    for (const char* expected :
         {"public abstract class com.vidorurud.fullscreen.WideCv extends javax.microedition.lcdui.Canvas",
          "major version: 48", "sipush        128", "bipush        116", "invokevirtual #17",
          "Method setFullScreenMode:(Z)V", "protected com.vidorurud.fullscreen.WideCv();",
          "flags: (0x0421) ACC_PUBLIC, ACC_SUPER, ACC_ABSTRACT", "SourceFile: \"WideCv.java\"", "line 16: 9"})
        EXPECT_NE(std::string::npos, out.find(expected)) << expected << "\n" << out;
}
