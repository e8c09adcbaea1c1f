// A jar extracted and packed again with the patch job's settings keeps every entry, name and byte.
#include <gtest/gtest.h>

#include "archive/Messages.h"
#include "archive/read/UnZip.h"
#include "archive/write/Jar.h"
#include "tests/archive/ArchiveFixtures.h"
#include "tests/archive/WriterFixtures.h"

using namespace archive;
using namespace archivetest;
using testutil::TTempDir;

namespace {

// Python's zipfile compares the two archives: same files with the same bytes; non-ASCII names flagged
// as UTF-8; the manifest, when there is one, first.
constexpr const char* kCompareScript = R"(import sys, zipfile
a, b = zipfile.ZipFile(sys.argv[1]), zipfile.ZipFile(sys.argv[2])
files = lambda z: {i.filename: z.read(i) for i in z.infolist() if not i.is_dir()}
fa, fb = files(a), files(b)
if fa != fb:
    sys.exit('entries differ: %r / %r' % (sorted(fa), sorted(fb)))
for i in b.infolist():
    if not i.filename.isascii() and not i.flag_bits & 0x800:
        sys.exit('no UTF-8 flag: %r' % i.filename)
if 'META-INF/MANIFEST.MF' in fb and b.infolist()[0].filename != 'META-INF/MANIFEST.MF':
    sys.exit('manifest not first')
)";

struct TRoundTrip {
    TTempDir Dir;
    std::string Original = Dir / "game.jar";
    std::string Work = Dir / "temp";
    std::string Rebuilt = Dir / "rebuilt.jar";
    TErrorLog ReadErrors;
    TErrorLog WriteErrors;

    // Extract and pack as the job does: everything into the work folder, every file of it back.
    void Run() {
        TUnJar reader(nullptr);
        reader.CreateStoredDirs = true;
        reader.FileSpec = {"*.*"};
        ReadErrors.Attach(reader);
        reader.SetArchiveFile(Original);
        reader.SetExtractDir(Work);
        reader.Extract();
        TJar writer(nullptr);
        writer.IncludeHiddenFiles = true;
        writer.Utf8Names = reader.Utf8Names;
        WriteErrors.Attach(writer);
        writer.SetArchiveFile(Rebuilt);
        writer.FileSpec = {Work + platform::PathDelim + "*.*"};
        writer.Compress();
    }

    std::string Compare() const {
        const std::string script = Dir / "compare.py";
        testutil::WriteFile(script, std::string(kCompareScript));
        std::string out;
        const int rc = testutil::RunHost("python3 " + testutil::Quote(testutil::ToHostPath(script)) + " " +
                                             testutil::Quote(testutil::ToHostPath(Original)) + " " +
                                             testutil::Quote(testutil::ToHostPath(Rebuilt)) + " 2>&1",
                                         &out);
        return rc == 0 ? "" : out;
    }
};

struct TRoundTripCase {
    const char* What;
    std::vector<std::pair<std::string, Bytes>> Entries;
};

}  // namespace

TEST(JarRoundTrip, OrdinaryJarsComeBackWhole) {
    const std::vector<TRoundTripCase> cases = {
        {"dot names",
         {{"a.class", TextBytes("class a")},
          {"res/.cfg", TextBytes("cfg=1")},
          {".data/level.bin", testutil::RandomBytes(3000, 7)},
          {"res/.nomedia", {}}}},
        {"manifest last in the original",
         {{"a.class", TextBytes("class a")},
          {"z/b.class", TextBytes("class b")},
          {"META-INF/MANIFEST.MF", TextBytes("Manifest-Version: 1.0\r\n\r\n")}}},
        {"UTF-8 names in the system code page",
         {{"res/na\xC3\xAFve-\xC3\xBC.txt", TextBytes("naive")}, {"plain.txt", TextBytes("plain")}}},
    };
    for (const auto& c : cases) {
        TRoundTrip trip;
        PyZip(trip.Original, c.Entries);
        trip.Run();
        EXPECT_TRUE(trip.ReadErrors.Codes.empty()) << c.What;
        EXPECT_TRUE(trip.WriteErrors.Codes.empty()) << c.What;
        EXPECT_EQ(trip.Compare(), "") << c.What;
        EXPECT_EQ(writertest::PeerCheck(trip.Rebuilt), "") << c.What;
    }
}

TEST(JarRoundTrip, AJarOfTheJdkComesBackWithItsManifestFirst) {
    if (!testutil::HostHas("jar"))
        GTEST_SKIP() << "no jar tool on the host";
    TRoundTrip trip;
    MakeSourceTree(trip.Dir / "src");
    testutil::WriteFile(trip.Dir / "src/zz/.hidden", std::string("dot"));
    ASSERT_EQ(RunIn(trip.Dir / "src", "jar cf " + testutil::Quote(testutil::ToHostPath(trip.Original)) + " ."), 0);
    trip.Run();
    EXPECT_TRUE(trip.ReadErrors.Codes.empty());
    EXPECT_EQ(trip.Compare(), "");
    EXPECT_EQ(writertest::JarList(trip.Rebuilt).rfind("META-INF/MANIFEST.MF", 0), 0u);
}

// A UTF-8 name outside the system's ANSI code page comes back whole: names are UTF-8 inside the program on
// Windows too, and the file on disk carries the very name.
TEST(JarRoundTrip, AUtf8NameOutsideTheAnsiCodePageComesBackWhole) {
    const std::string name =
        "Gr\xC3\xBC\xC3\x9F"
        "e-\xE6\x97\xA5\xE6\x9C\xAC.txt";
    TRoundTrip trip;
    PyZip(trip.Original, {{name, TextBytes("gruss")}, {"a.txt", TextBytes("a")}});
    trip.Run();
    EXPECT_TRUE(trip.ReadErrors.Codes.empty());
    EXPECT_EQ(trip.Compare(), "");
    EXPECT_EQ(testutil::ReadText(testutil::Join(trip.Work, name)), "gruss");
}

// Names without flag bit 11 keep their bytes both ways, as before.
TEST(JarRoundTrip, NamesWithoutTheUtf8FlagKeepTheirBytes) {
    TRoundTrip trip;
    // Code page 437 byte 0x81 is u-umlaut; zipfile keeps such a name without the flag.
    testutil::WriteFile(trip.Original, BuildRawZip({{"m\x81"
                                                     "de.txt",
                                                     TextBytes("tired")}}));
    trip.Run();
    EXPECT_TRUE(trip.ReadErrors.Codes.empty());
    const auto rebuilt = writertest::ParseArchive(testutil::ReadFile(trip.Rebuilt));
    ASSERT_TRUE(rebuilt.Ok) << rebuilt.Problem;
    ASSERT_EQ(rebuilt.Entries.size(), 1u);
    EXPECT_EQ(rebuilt.Entries[0].CentralName,
              "m\x81"
              "de.txt");
    EXPECT_EQ(rebuilt.Entries[0].Central.Flags & kFlagUtf8, 0);
}
