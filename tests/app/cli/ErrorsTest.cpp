// Why a jar was not patched: each reason its own message on stderr, naming the file; exit status 1.
#include <sys/mount.h>

#include "CliFixture.h"

namespace {

using clitest::TCommandLine;
using testutil::Quote;

const char kUnchanged[] = "; the file is unchanged\n";

// A zip whose entry game/Board.class has its compressed data overwritten in the middle.
const char kDamageEntry[] =
    "python3 -c \"import sys,zipfile\n"
    "p=sys.argv[1]\n"
    "z=zipfile.ZipFile(p); i=z.getinfo('game/Board.class'); z.close()\n"
    "d=bytearray(open(p,'rb').read())\n"
    "n=int.from_bytes(d[i.header_offset+26:i.header_offset+28],'little')+int.from_bytes(d[i.header_offset+28:i.header_"
    "offset+30],'little')\n"
    "s=i.header_offset+30+n\n"
    "for k in range(s+i.compress_size//3, s+i.compress_size//3+16): d[k]^=0x5A\n"
    "open(p,'wb').write(d)\" ";

// A zip with game/Board.class compressed by bzip2, which the engine does not read.
const char kBzip2Entry[] =
    "python3 -c \"import sys,zipfile\n"
    "with zipfile.ZipFile(sys.argv[1],'w') as z:\n"
    "  z.writestr('META-INF/MANIFEST.MF', 'Manifest-Version: 1.0\\\\n', zipfile.ZIP_DEFLATED)\n"
    "  z.writestr('game/Board.class', b'x javax/microedition/lcdui/Canvas y'*50, zipfile.ZIP_BZIP2)\" ";

TEST_F(TCommandLine, ReasonsSeenBeforeTheJobHaveTheirOwnMessages) {
    testutil::MakeDirs(FDir / "jars/folder.jar");
    const std::string locked = MakeJar(FDir / "jars/locked.jar");
    const std::string kept = MakeJar(FDir / "kept/game.jar");
    ASSERT_EQ(testutil::RunHost("chmod 000 " + Quote(locked) + " && chmod 755 " + Quote(FDir / "jars") +
                                " && chmod 555 " + Quote(FDir / "kept") + " && chmod 644 " + Quote(kept)),
              0);
    ASSERT_EQ(testutil::RunHost("mkfifo -m 666 " + Quote(FDir / "jars/pipe.jar")), 0);
    const testutil::Bytes keptBytes = testutil::ReadFile(kept);
    struct TCase {
        std::string Arg;
        std::string Says;
    };
    const TCase cases[] = {
        {"jars/missing.jar", "grandvue: jars/missing.jar: no such file\n"},
        {"jars/locked.jar/x.jar", "grandvue: jars/locked.jar/x.jar: no such file\n"},
        {"jars/folder.jar", "grandvue: jars/folder.jar: is a folder, not a jar file\n"},
        // Reading a pipe would wait for a writer that never comes.
        {"jars/pipe.jar", std::string("grandvue: jars/pipe.jar: not a ZIP/JAR archive") + kUnchanged},
        {"jars/locked.jar", std::string("grandvue: jars/locked.jar: permission denied") + kUnchanged},
        {"kept/game.jar", std::string("grandvue: kept/game.jar: its folder cannot be written") + kUnchanged},
    };
    for (const TCase& c : cases) {
        // As another user, so the owner's rights do not hide the fault (a root run would read anything).
        std::string out;
        const int status =
            testutil::RunHost(clitest::AsUnprivilegedUser() + "sh -c " +
                                  Quote(Command("-b " + c.Arg, "", FDir.Path()) + " 2>" + Quote(FDir / "tmp/err.txt")),
                              &out);
        EXPECT_EQ(status, 1) << c.Arg;
        EXPECT_EQ(testutil::ReadText(FDir / "tmp/err.txt"), c.Says) << c.Arg;
        EXPECT_EQ(out, "") << c.Arg;
    }
    EXPECT_EQ(testutil::ReadFile(kept), keptBytes);
    EXPECT_FALSE(testutil::Exists(kept + ".bak"));
    EXPECT_FALSE(testutil::Exists(FDir / "jars/missing.jar"));
    EXPECT_FALSE(testutil::Exists(FDir / "jars/missing.jar.bak"));
}

TEST_F(TCommandLine, AFailedJarGivesStatusOneAndTheOthersAreStillPatched) {
    testutil::WriteFile(FDir / "bad.jar", std::string("this is not an archive at all, just text"));
    const std::string good = MakeJar(FDir / "good.jar");
    const clitest::TRun run = Run("-n missing.jar bad.jar good.jar");
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Err.find("grandvue: missing.jar: no such file\n"), std::string::npos) << run.Err;
    // A file that is not there is never told it is unchanged.
    EXPECT_EQ(run.Err.find("missing.jar: no such file;"), std::string::npos);
    EXPECT_NE(run.Err.find("bad.jar"), std::string::npos) << run.Err;
    EXPECT_EQ(testutil::ReadText(FDir / "bad.jar"), "this is not an archive at all, just text");
    jobtest::ExpectPatched(good, jobtest::SampleTree());
    EXPECT_EQ(run.Out, "good.jar: " + std::string(clitest::kSampleSummary) +
                           "\n3 jars: 1 patched, 0 left unchanged, 2 failed\n");
}

TEST_F(TCommandLine, ReasonsFromTheJobReportNameTheFileAndTheEntry) {
    testutil::WriteFile(FDir / "text.jar", std::string("this is not an archive at all, just text"));
    const std::string damaged = MakeJar(FDir / "damaged.jar");
    ASSERT_EQ(testutil::RunHost(kDamageEntry + Quote(damaged)), 0);
    ASSERT_EQ(testutil::RunHost(kBzip2Entry + Quote(FDir / "bzip2.jar")), 0);
    struct TCase {
        std::string Arg;
        std::string Says;
    };
    const TCase cases[] = {
        {"text.jar", std::string("grandvue: text.jar: not a ZIP/JAR archive") + kUnchanged},
        {"damaged.jar",
         std::string("grandvue: damaged.jar: damaged archive: entry game/Board.class cannot be read") + kUnchanged},
        {"bzip2.jar", std::string("grandvue: bzip2.jar: entry game/Board.class uses a compression method grandvue "
                                  "cannot read") +
                          kUnchanged},
    };
    for (const TCase& c : cases) {
        const testutil::Bytes before = testutil::ReadFile(FDir / c.Arg);
        const clitest::TRun run = Run("-q " + c.Arg);
        EXPECT_EQ(run.Status, 1) << c.Arg;
        EXPECT_EQ(run.Err, c.Says);
        EXPECT_EQ(testutil::ReadFile(FDir / c.Arg), before) << c.Arg;
    }
}

// A small file system of its own (root only); the new jar does not fit beside the old one.
TEST_F(TCommandLine, AFullDiskIsToldAsSuchAndTheJarIsKept) {
    if (!clitest::IsRoot())
        GTEST_SKIP() << "mounting a small file system needs root";
    testutil::MakeDirs(FDir / "small");
    if (mount("tmpfs", (FDir / "small").c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "tmpfs not mountable";
    struct TUnmount {
        std::string Path;
        ~TUnmount() { umount2(Path.c_str(), MNT_DETACH); }
    } unmount{FDir / "small"};
    jobtest::TTree tree = jobtest::SampleTree();
    tree["res/noise.bin"] = testutil::RandomBytes(600 * 1024, 9);
    const std::string jar = MakeJar(FDir / "small/big.jar", tree);
    const testutil::Bytes before = testutil::ReadFile(jar);
    const clitest::TRun run = Run("-n small/big.jar");
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, std::string("grandvue: small/big.jar: disk full") + kUnchanged);
    EXPECT_EQ(testutil::ReadFile(jar), before);
}

}  // namespace
