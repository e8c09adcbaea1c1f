// The .jad beside a patched jar: text forms byte for byte, the file steps and their failures, signed jars.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/jad/Jad.h"
#include "platform/Platform.h"
#include "tests/TestUtil.h"

namespace {

using testutil::Quote;
using testutil::RunHost;
using testutil::TTempDir;

constexpr uint64_t kNewSize = 40960;
const char kSigned[] =
    "MIDlet-Jar-RSA-SHA1: AbCd==\r\nMIDlet-Certificate-1-1: MIIB\r\n  wrapped==\r\nMIDlet-Certificate-1-2: MIIC\r\n";

struct TTextCase {
    const char* What;
    std::string Jad;
    std::string Expected;  // empty: the text stays as it was
    bool SignatureRemoved = false;
    bool SizeAdded = false;
};

const TTextCase kTextCases[] = {
    {"LF", "MIDlet-Name: G\nMIDlet-Jar-Size: 1200\nMIDlet-Jar-URL: game.jar\n",
     "MIDlet-Name: G\nMIDlet-Jar-Size: 40960\nMIDlet-Jar-URL: game.jar\n"},
    {"CRLF, spacing kept", "MIDlet-Jar-URL:game.jar\r\nMIDlet-Jar-Size:\t 1200 \r\nMIDlet-Name: G\r\n",
     "MIDlet-Jar-URL:game.jar\r\nMIDlet-Jar-Size:\t 40960 \r\nMIDlet-Name: G\r\n"},
    {"mixed ends, lone CR", "A: 1\r\nMIDlet-Jar-Size: 1\rB: 2\nC: 3\r\n",
     "A: 1\r\nMIDlet-Jar-Size: 40960\rB: 2\nC: 3\r\n"},
    {"byte-order mark", "\xEF\xBB\xBFMIDlet-Jar-Size: 7\n", "\xEF\xBB\xBFMIDlet-Jar-Size: 40960\n"},
    {"no final line end", "MIDlet-Name: G\r\nMIDlet-Jar-Size: 7", "MIDlet-Name: G\r\nMIDlet-Jar-Size: 40960"},
    {"empty size value", "MIDlet-Jar-Size:\n", "MIDlet-Jar-Size:40960\n"},
    {"size over a continuation line", "MIDlet-Jar-Size: 12\n 34\nB: 2\n", "MIDlet-Jar-Size: 40960\nB: 2\n"},
    {"every size attribute", "MIDlet-Jar-Size: 1\nMIDlet-Jar-Size: 2\n",
     "MIDlet-Jar-Size: 40960\nMIDlet-Jar-Size: 40960\n"},
    {"URL naming another jar", "MIDlet-Jar-URL: other.jar\nMIDlet-Jar-Size: 7\n" + std::string(kSigned), ""},
    {"URL naming a script", "MIDlet-Jar-URL: http://h/get?f=game.jar\nMIDlet-Jar-Size: 7\n", ""},
    {"URL in other case with a path and query", "MIDlet-Jar-URL: http://h/dl/GAME.JAR?sid=1\nMIDlet-Jar-Size: 7\n",
     "MIDlet-Jar-URL: http://h/dl/GAME.JAR?sid=1\nMIDlet-Jar-Size: 40960\n"},
    {"URL with a Windows path", "MIDlet-Jar-URL: C:\\games\\Game.jar\nMIDlet-Jar-Size: 7\n",
     "MIDlet-Jar-URL: C:\\games\\Game.jar\nMIDlet-Jar-Size: 40960\n"},
    {"empty URL", "MIDlet-Jar-URL:\nMIDlet-Jar-Size: 7\n", "MIDlet-Jar-URL:\nMIDlet-Jar-Size: 40960\n"},
    {"signed", "MIDlet-Name: G\r\n" + std::string(kSigned) + "MIDlet-Jar-Size: 7\r\n",
     "MIDlet-Name: G\r\nMIDlet-Jar-Size: 40960\r\n", true},
    {"signature first after the mark", "\xEF\xBB\xBFMIDlet-Jar-RSA-SHA1: x\nMIDlet-Jar-Size: 7\n",
     "\xEF\xBB\xBFMIDlet-Jar-Size: 40960\n", true},
    {"certificate on a last line without end", "MIDlet-Jar-Size: 7\nMIDlet-Certificate-1-1: MIIB",
     "MIDlet-Jar-Size: 40960\n", true},
    {"signed without a size", "MIDlet-Name: G\n" + std::string(kSigned), "MIDlet-Name: G\nMIDlet-Jar-Size: 40960\n",
     true, true},
    {"unsigned without a size", "MIDlet-Name: G\nMIDlet-Version: 1.0\n",
     "MIDlet-Name: G\nMIDlet-Version: 1.0\nMIDlet-Jar-Size: 40960\n", false, true},
    {"names compare exactly", "midlet-jar-size: 7\nMIDlet-Jar-Size : 7\nmidlet-certificate-1-1: x\n",
     "midlet-jar-size: 7\nMIDlet-Jar-Size : 7\nmidlet-certificate-1-1: x\nMIDlet-Jar-Size: 40960\n", false, true},
    {"size already right", "MIDlet-Jar-Size: 40960\n", ""},
    {"empty file", "", "MIDlet-Jar-Size: 40960\n", false, true},
    {"no size: added after the URL, CRLF", "MIDlet-Name: G\r\nMIDlet-Jar-URL: game.jar\r\nMIDlet-Vendor: V\r\n",
     "MIDlet-Name: G\r\nMIDlet-Jar-URL: game.jar\r\nMIDlet-Jar-Size: 40960\r\nMIDlet-Vendor: V\r\n", false, true},
    {"no size: after the URL's continuation line", "MIDlet-Jar-URL: http://h/a/very/long/\n path/game.jar\nB: 2\n",
     "MIDlet-Jar-URL: http://h/a/very/long/\n path/game.jar\nMIDlet-Jar-Size: 40960\nB: 2\n", false, true},
    {"no size: URL last without a line end", "A: 1\r\nMIDlet-Jar-URL: game.jar",
     "A: 1\r\nMIDlet-Jar-URL: game.jar\r\nMIDlet-Jar-Size: 40960", false, true},
    {"no size: lone CR ends", "MIDlet-Jar-URL: game.jar\rA: 1\r",
     "MIDlet-Jar-URL: game.jar\rMIDlet-Jar-Size: 40960\rA: 1\r", false, true},
    {"no size, no URL, no final line end", "MIDlet-Name: G\r\nMIDlet-Vendor: V",
     "MIDlet-Name: G\r\nMIDlet-Vendor: V\r\nMIDlet-Jar-Size: 40960", false, true},
    {"no size behind a byte-order mark", "\xEF\xBB\xBF", "\xEF\xBB\xBFMIDlet-Jar-Size: 40960\n", false, true},
};

// One table, one process: under Wine every test program start costs seconds.
TEST(JadTextForms, TextBecomesTheExpectedBytes) {
    for (const TTextCase& c : kTextCases) {
        SCOPED_TRACE(c.What);
        const std::string expected = c.Expected.empty() ? c.Jad : c.Expected;
        const app::TJadEdit edit = app::EditJadText(c.Jad, "game.jar", kNewSize, true);
        EXPECT_EQ(edit.Text, expected);
        EXPECT_EQ(edit.Changed, expected != c.Jad);
        EXPECT_EQ(edit.SignatureRemoved, c.SignatureRemoved);
        EXPECT_EQ(edit.SizeAdded, c.SizeAdded);
    }
}

TEST(JadTextForms, FileBesideTheJarBecomesTheExpectedBytes) {
    for (const TTextCase& c : kTextCases) {
        SCOPED_TRACE(c.What);
        const std::string expected = c.Expected.empty() ? c.Jad : c.Expected;
        TTempDir dir;
        testutil::WriteFile(dir / "game.jar", "PK");
        testutil::WriteFile(dir / "game.jad", c.Jad);
        const app::TJadResult r = app::UpdateJadBeside(dir / "game.jar", kNewSize, false);
        EXPECT_TRUE(r.Found);
        EXPECT_EQ(r.Failure, app::TJadFailure::jdNone);
        EXPECT_EQ(r.Updated, expected != c.Jad);
        EXPECT_EQ(r.SignatureRemoved, c.SignatureRemoved);
        EXPECT_EQ(r.SizeAdded, c.SizeAdded);
        EXPECT_EQ(testutil::ReadText(dir / "game.jad"), expected);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2) << "a file was left";
    }
}

// What the caller is told, and the signature kept while the jar's bytes are the same.
TEST(JadTextForms, TheEditSaysWhatItDidAndWhy) {
    struct TCase {
        const char* What;
        std::string Jad;
        bool JarBytesChanged;
        std::string Expected;
        std::string OtherJarUrl;
        bool SignatureRemoved = false;
    };
    const TCase cases[] = {
        {"another jar's URL", "MIDlet-Jar-URL: http://h/other.jar\nB: 1\n", true,
         "MIDlet-Jar-URL: http://h/other.jar\nB: 1\n", "http://h/other.jar"},
        {"another jar's URL with blanks", "MIDlet-Jar-URL:  x/other.jar \r\n", true,
         "MIDlet-Jar-URL:  x/other.jar \r\n", "x/other.jar"},
        {"signed, jar bytes the same", "MIDlet-Jar-Size: 7\r\n" + std::string(kSigned), false,
         "MIDlet-Jar-Size: 40960\r\n" + std::string(kSigned), ""},
        {"signed, jar bytes changed", "MIDlet-Jar-Size: 7\r\n" + std::string(kSigned), true,
         "MIDlet-Jar-Size: 40960\r\n", "", true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        const app::TJadEdit edit = app::EditJadText(c.Jad, "game.jar", kNewSize, c.JarBytesChanged);
        EXPECT_EQ(edit.Text, c.Expected);
        EXPECT_EQ(edit.NamesThisJar, c.OtherJarUrl.empty());
        EXPECT_EQ(edit.OtherJarUrl, c.OtherJarUrl);
        EXPECT_EQ(edit.SignatureRemoved, c.SignatureRemoved);
        TTempDir dir;
        testutil::WriteFile(dir / "game.jar", "PK");
        testutil::WriteFile(dir / "game.jad", c.Jad);
        const app::TJadResult r = app::UpdateJadBeside(dir / "game.jar", kNewSize, false, c.JarBytesChanged);
        EXPECT_EQ(r.NamesOtherJar, !c.OtherJarUrl.empty());
        EXPECT_EQ(r.OtherJarUrl, c.OtherJarUrl);
        EXPECT_EQ(r.Updated, c.Expected != c.Jad);
        EXPECT_EQ(testutil::ReadText(dir / "game.jad"), c.Expected);
    }
}

TEST(JarUrl, NamesTheJarByItsLastPartAsWrittenOrDecoded) {
    EXPECT_TRUE(app::JarUrlNames("My%20Game.jar", "My Game.jar"));
    EXPECT_TRUE(app::JarUrlNames("games/my game.jar#top", "My Game.JAR"));
    EXPECT_FALSE(app::JarUrlNames("http://h/", "game.jar"));
    EXPECT_FALSE(app::JarUrlNames("game.jar.zip", "game.jar"));
}

TEST(SignedJar, ToldFromSignatureFilesDirectlyInMetaInf) {
    EXPECT_FALSE(app::IsSignedJar({}));
    EXPECT_FALSE(app::IsSignedJar({"META-INF/MANIFEST.MF", "a/B.class", "META-INF/sub/X.SF", "x/META-INF/A.RSA",
                                   "META-INF/A.SFX", "META-INF/.SF"}));
    for (const char* name : {"META-INF/GAME.SF", "meta-inf/cert.rsa", "META-INF/K.DSA", "META-INF/K.EC"})
        EXPECT_TRUE(app::IsSignedJar({"META-INF/MANIFEST.MF", name})) << name;
}

TEST(SignedJar, ToldFromAJarSignedByTheJdk) {
    if (!testutil::HostHas("jarsigner") || !testutil::HostHas("python3"))
        GTEST_SKIP() << "no JDK or Python on the host";
    TTempDir dir;
    const std::string list = "python3 -c 'import zipfile; print(*zipfile.ZipFile(\"g.jar\").namelist())'";
    const std::string cmd =
        "cd " + Quote(testutil::ToHostPath(dir.Path())) +
        " && python3 -c 'import zipfile; zipfile.ZipFile(\"g.jar\", \"w\").writestr(\"a.txt\", \"x\")'"
        " && " +
        list +
        " && keytool -genkeypair -keystore ks -storepass secret -keypass secret"
        " -alias k -dname CN=t -keyalg EC -validity 2 >/dev/null 2>&1 && jarsigner -keystore ks"
        " -storepass secret g.jar k >/dev/null 2>&1 && " +
        list;
    std::string out;
    ASSERT_EQ(RunHost(cmd, &out), 0) << out;
    std::vector<std::vector<std::string>> jars(1);
    for (size_t pos = 0, end; (end = out.find_first_of(" \n", pos)) != std::string::npos; pos = end + 1) {
        jars.back().push_back(out.substr(pos, end - pos));
        if (out[end] == '\n')
            jars.emplace_back();
    }
    ASSERT_EQ(jars.size(), 3u) << out;
    EXPECT_FALSE(app::IsSignedJar(jars[0])) << out;
    EXPECT_TRUE(app::IsSignedJar(jars[1])) << out;
}

// The names in a folder, so a test can tell that nothing was added, removed or left behind.
std::vector<std::string> Listing(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A jar and its .jad in a fresh folder; the .jad asks for a new size.
struct TJarWithJad {
    TTempDir Dir;
    std::string Jar = Dir / "game.jar", Jad = Dir / "game.jad";
    const std::string Text = "MIDlet-Jar-Size: 7\r\nMIDlet-Name: G\r\n";
    TJarWithJad() {
        testutil::WriteFile(Jar, "PK");
        testutil::WriteFile(Jad, Text);
    }
    app::TJadResult Update(bool backup = false) const { return app::UpdateJadBeside(Jar, kNewSize, backup); }
};

TEST(JadBeside, JarWithoutOneLeavesTheFolderAsItWas) {
    TTempDir dir;
    testutil::WriteFile(dir / "game.jar", "PK");
    testutil::WriteFile(dir / "game.jar.jad", "MIDlet-Jar-Size: 7\n");  // not the jar's base name
    const auto before = Listing(dir.Path());
    const app::TJadResult r = app::UpdateJadBeside(dir / "game.jar", kNewSize, true);
    EXPECT_FALSE(r.Found);
    EXPECT_EQ(Listing(dir.Path()), before);
    EXPECT_EQ(testutil::ReadText(dir / "game.jar.jad"), "MIDlet-Jar-Size: 7\n");
}

TEST(JadBeside, BackupIsMadeOnceAndAnExistingOneKept) {
    TJarWithJad f;
    ASSERT_TRUE(f.Update(true).Updated);
    EXPECT_EQ(testutil::ReadText(f.Jad + ".bak"), f.Text);
    testutil::WriteFile(f.Jad, "MIDlet-Jar-Size: 8\n");
    ASSERT_TRUE(f.Update(true).Updated);
    EXPECT_EQ(testutil::ReadText(f.Jad + ".bak"), f.Text);
    EXPECT_EQ(testutil::ReadText(f.Jad), "MIDlet-Jar-Size: 40960\n");
    EXPECT_EQ(Listing(f.Dir.Path()).size(), 3u);
}

TEST(JadBeside, NoBackupWhenTheJadNeedsNoChange) {
    TJarWithJad f;
    testutil::WriteFile(f.Jad, "MIDlet-Jar-URL: other.jar\nMIDlet-Jar-Size: 7\n");
    const app::TJadResult r = f.Update(true);
    EXPECT_TRUE(r.NamesOtherJar);
    EXPECT_FALSE(r.Updated);
    EXPECT_FALSE(testutil::Exists(f.Jad + ".bak"));
}

TEST(JadBeside, FolderOrOversizedJadIsLeftAndReported) {
    TJarWithJad f;
    std::filesystem::remove(f.Jad);
    testutil::MakeDirs(f.Jad);
    EXPECT_EQ(f.Update(true).Failure, app::TJadFailure::jdNotRegular);
    EXPECT_TRUE(std::filesystem::is_directory(f.Jad));
    EXPECT_TRUE(std::filesystem::is_empty(f.Jad));
    std::filesystem::remove(f.Jad);
    const std::string big = "MIDlet-Jar-Size: 7\n" + std::string(app::kMaxJadSize, '#');
    testutil::WriteFile(f.Jad, big);
    EXPECT_EQ(f.Update().Failure, app::TJadFailure::jdTooLarge);
    EXPECT_EQ(testutil::ReadText(f.Jad), big);
}

TEST(JadBeside, ReadOnlyJadIsLeftAndReported) {
    TJarWithJad f;
    ASSERT_TRUE(platform::SetFileAttributes(f.Jad, platform::faReadOnly));
    const app::TJadResult r = f.Update();
    EXPECT_EQ(r.Failure, app::TJadFailure::jdWriteFailed);
    EXPECT_EQ(r.SystemError, platform::kErrorAccessDenied);
    EXPECT_EQ(testutil::ReadText(f.Jad), f.Text);
}

// A folder nobody may write: a read-only tmpfs for root (who writes anywhere else), else one without write bits.
class TReadOnlyFolder {
public:
    explicit TReadOnlyFolder(const std::string& path) : FHost(Quote(testutil::ToHostPath(path))) {
        FMounted = RunHost("mount -t tmpfs -o size=64k tmpfs " + FHost + " 2>/dev/null") == 0;
    }
    ~TReadOnlyFolder() { RunHost(FMounted ? "umount " + FHost : "chmod 755 " + FHost); }
    bool Seal() const {
        return RunHost(FMounted ? "mount -o remount,ro " + FHost : "chmod 555 " + FHost) == 0 &&
               RunHost("touch " + FHost + "/probe 2>/dev/null") != 0;
    }

private:
    std::string FHost;
    bool FMounted = false;
};

TEST(JadBeside, JadInAReadOnlyFolderIsLeftAndReported) {
    TTempDir dir;
    const std::string folder = dir / "ro";
    testutil::MakeDirs(folder);
    TReadOnlyFolder readOnly(folder);
    testutil::WriteFile(folder + platform::PathDelim + "game.jar", "PK");
    testutil::WriteFile(folder + platform::PathDelim + "game.jad", "MIDlet-Jar-Size: 7\n");
    if (!readOnly.Seal())
        GTEST_SKIP() << "no way to make a folder read-only here";
    const app::TJadResult r = app::UpdateJadBeside(folder + platform::PathDelim + "game.jar", kNewSize, true);
    EXPECT_EQ(r.Failure, app::TJadFailure::jdBackupFailed);
    EXPECT_EQ(testutil::ReadText(folder + platform::PathDelim + "game.jad"), "MIDlet-Jar-Size: 7\n");
    EXPECT_EQ(Listing(folder), (std::vector<std::string>{"game.jad", "game.jar"}));
    EXPECT_EQ(app::UpdateJadBeside(folder + platform::PathDelim + "game.jar", kNewSize, false).Failure,
              app::TJadFailure::jdWriteFailed);
}

TEST(JadBeside, NameMatchesAsTheFileSystemComparesNames) {
    TTempDir dir;
    testutil::WriteFile(dir / "GAME.JAR", "PK");
    testutil::WriteFile(dir / "GAME.JAD", "MIDlet-Jar-Size: 7\n");
    testutil::WriteFile(dir / "lower.jar", "PK");
    testutil::WriteFile(dir / "lower.JAD", "MIDlet-Jar-Size: 7\n");
    testutil::WriteFile(dir / "my.game v2.jar", "PK");
    testutil::WriteFile(dir / "My.game v2.jad", "MIDlet-Jar-Size: 7\n");
    EXPECT_TRUE(app::UpdateJadBeside(dir / "GAME.JAR", kNewSize, false).Updated);
    EXPECT_TRUE(app::UpdateJadBeside(dir / "lower.jar", kNewSize, false).Updated);
    EXPECT_EQ(testutil::ReadText(dir / "lower.JAD"), "MIDlet-Jar-Size: 40960\n");
#ifdef _WIN32
    EXPECT_TRUE(app::UpdateJadBeside(dir / "my.game v2.jar", kNewSize, false).Updated);
#else
    EXPECT_FALSE(app::UpdateJadBeside(dir / "my.game v2.jar", kNewSize, false).Found);
#endif
}

#ifndef _WIN32
TEST(JadBeside, KeepsPermissionBitsAndLeavesLinksAlone) {
    namespace fs = std::filesystem;
    TJarWithJad f;
    fs::permissions(f.Jad, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(f.Update(true).Updated);
    EXPECT_EQ(fs::status(f.Jad).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(fs::status(f.Jad + ".bak").permissions(), fs::status(f.Jad).permissions());
    fs::remove(f.Jad);
    fs::create_symlink("nowhere.jad", f.Jad);
    EXPECT_EQ(f.Update().Failure, app::TJadFailure::jdNotRegular);
    EXPECT_TRUE(fs::is_symlink(f.Jad));
}
#endif

}  // namespace
