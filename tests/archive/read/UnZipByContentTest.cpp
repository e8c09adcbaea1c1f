// The same bytes are read the same way whatever the archive is called: its type comes from its content.
#include <gtest/gtest.h>

#include "archive/read/UnZip.h"
#include "tests/archive/ArchiveFixtures.h"

using namespace archive;
using namespace archivetest;
using testutil::TTempDir;

namespace {
// The names a user may give a jar; each goes in a folder of its own, as some systems ignore case.
const char* const kNames[] = {"x.jar", "x.zip", "x.bin", "X.JAR", "x"};

// Folder entries deflated with a data descriptor and no folder bit, as zipfile writes to a pipe.
const char kPythonDescribedFolders[] =
    "import io, sys, zipfile\n"
    "class Pipe(io.RawIOBase):\n"
    "    def __init__(self, f): self.f = f\n"
    "    def writable(self): return True\n"
    "    def write(self, b): return self.f.write(b)\n"
    "with open(sys.argv[1], 'wb') as raw:\n"
    "    z = zipfile.ZipFile(Pipe(raw), 'w')\n"
    "    for name, data in [('assets/', b''), ('assets/a.txt', b'hello'), ('b.bin', bytes(range(256)) * 4)]:\n"
    "        info = zipfile.ZipInfo(name, (2024, 5, 17, 13, 45, 30))\n"
    "        info.compress_type = zipfile.ZIP_DEFLATED\n"
    "        with z.open(info, 'w') as w:\n"
    "            w.write(data)\n"
    "    z.close()\n";

struct TPeerArchive {
    const char* What;
    std::string Command;  // run inside a source tree; ARCHIVE names the archive
    TArcType Type;
    std::vector<std::string> Tree;
};

struct TReading {
    int32_t Count = 0;
    TArcType Type = atNA;
    std::vector<std::string> Tree;
    std::vector<Bytes> Files;
    std::vector<int32_t> Errors;
};

TReading ReadAs(const Bytes& archive, const std::string& folder, const std::string& name) {
    const std::string path = testutil::Join(folder, name);
    testutil::WriteFile(path, archive);
    TUnJar reader(nullptr);
    reader.CreateStoredDirs = true;
    reader.FileSpec = {"*.*"};
    TErrorLog log;
    log.Attach(reader);
    reader.SetArchiveFile(path);
    const std::string target = testutil::Join(folder, "out");
    reader.SetExtractDir(target);
    TReading r;
    r.Count = reader.Extract();
    r.Type = reader.ArcType();
    r.Tree = ListTree(target);
    for (const std::string& entry : r.Tree)
        if (!entry.ends_with('/'))
            r.Files.push_back(testutil::ReadFile(testutil::Join(target, entry)));
    r.Errors = log.Codes;
    return r;
}
}  // namespace

TEST(UnZipByContent, AnArchiveIsReadTheSameWayWhateverItsName) {
    const TPeerArchive peers[] = {
        {"the JDK's jar",
         "jar cf ARCHIVE .",
         atJar,
         {"META-INF/", "META-INF/MANIFEST.MF", "assets/", "assets/a.txt", "b.bin"}},
        {"Python's zipfile to a pipe",
         "python3 - ARCHIVE <<'EOF'\n" + std::string(kPythonDescribedFolders) + "EOF",
         atZip,
         {"assets/", "assets/a.txt", "b.bin"}},
    };
    for (const TPeerArchive& peer : peers) {
        TTempDir dir;
        const std::string source = dir / "src";
        testutil::WriteFile(testutil::Join(source, "assets/a.txt"), std::string("hello"));
        Bytes block(1024);
        for (size_t i = 0; i < block.size(); ++i)
            block[i] = static_cast<uint8_t>(i);
        testutil::WriteFile(testutil::Join(source, "b.bin"), block);
        const std::string made = dir / "made";
        std::string command = peer.Command;
        command.replace(command.find("ARCHIVE"), 7, testutil::Quote(testutil::ToHostPath(made)));
        ASSERT_EQ(RunIn(source, command), 0) << peer.What;
        const Bytes archive = testutil::ReadFile(made);
        const TReading first = ReadAs(archive, dir / "first", kNames[0]);
        EXPECT_EQ(first.Tree, peer.Tree) << peer.What;
        EXPECT_EQ(CompareWithPeer(made, testutil::Join(dir / "first", "out")), "") << peer.What;
        int folder = 0;
        for (const char* name : kNames) {
            const TReading r = ReadAs(archive, dir / std::to_string(folder++), name);
            EXPECT_TRUE(r.Errors.empty()) << peer.What << " as " << name << ": first error " << r.Errors[0];
            EXPECT_EQ(r.Type, peer.Type) << peer.What << " as " << name;
            EXPECT_EQ(r.Count, first.Count) << peer.What << " as " << name;
            EXPECT_EQ(r.Tree, first.Tree) << peer.What << " as " << name;
            EXPECT_EQ(r.Files, first.Files) << peer.What << " as " << name;
        }
    }
}
