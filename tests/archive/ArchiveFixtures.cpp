// Fixture helpers of the archive tests.
#include "tests/archive/ArchiveFixtures.h"

#include <zlib.h>

#include <algorithm>
#include <filesystem>

#include "archive/format/Crc32.h"
#include "archive/format/Records.h"

namespace archivetest {

std::string PyPath(const std::string& path) {
    std::string r = "r'";
    r += testutil::ToHostPath(path);
    return r + "'";
}

int RunPython(const std::string& script) {
    testutil::TTempDir dir;
    const std::string file = dir / "fixture.py";
    testutil::WriteFile(file, script);
    return testutil::RunHost("python3 " + testutil::Quote(testutil::ToHostPath(file)));
}

int RunIn(const std::string& folder, const std::string& command, std::string* out) {
    return testutil::RunHost("cd " + testutil::Quote(testutil::ToHostPath(folder)) + " && " + command, out);
}

Bytes TextBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

void PyZip(const std::string& archive, const std::vector<std::pair<std::string, Bytes>>& entries, bool stored) {
    testutil::TTempDir dir;
    std::string script = "import zipfile\n";
    script +=
        "z = zipfile.ZipFile(" + PyPath(archive) + ", 'w', zipfile." + (stored ? "ZIP_STORED" : "ZIP_DEFLATED") + ")\n";
    int n = 0;
    for (const auto& [name, data] : entries) {
        const std::string file = dir / ("data" + std::to_string(n++));
        testutil::WriteFile(file, data);
        script += "z.writestr(zipfile.ZipInfo(" + std::string("'") + name + "', (2024, 5, 17, 13, 45, 30)), open(" +
                  PyPath(file) + ", 'rb').read(), zipfile." + (stored ? "ZIP_STORED" : "ZIP_DEFLATED") + ")\n";
    }
    script += "z.close()\n";
    RunPython(script);
}

void LoadStream(fw::TMemoryStream& stream, const Bytes& bytes) {
    stream.Clear();
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetPosition(0);
}

Bytes BuildRawZip(const std::vector<TRawEntry>& entries, const std::string& comment) {
    using namespace archive;
    Bytes out, directory;
    auto append = [](Bytes& to, const auto& bytes) { to.insert(to.end(), bytes.begin(), bytes.end()); };
    for (const auto& e : entries) {
        TLocalHeader lh;
        lh.Method = e.Method;
        lh.Flags = e.Flags;
        lh.DateTime = e.DateTime;
        lh.Crc32 = e.Crc < 0 ? Crc32(e.Data) : static_cast<uint32_t>(e.Crc);
        lh.CompressedSize = static_cast<uint32_t>(e.Data.size());
        lh.UncompressedSize = static_cast<uint32_t>(e.UncompressedSize < 0 ? e.Data.size() : e.UncompressedSize);
        lh.NameLength = static_cast<uint16_t>(e.Name.size());
        lh.ExtraLength = static_cast<uint16_t>(e.Extra.size());
        TCentralHeader ch;
        ch.Method = lh.Method;
        ch.Flags = lh.Flags;
        ch.DateTime = lh.DateTime;
        ch.Crc32 = lh.Crc32;
        ch.CompressedSize = lh.CompressedSize;
        ch.UncompressedSize = lh.UncompressedSize;
        ch.NameLength = lh.NameLength;
        ch.ExtraLength = lh.ExtraLength;
        ch.ExternalAttributes = e.ExternalAttributes;
        ch.LocalHeaderOffset = static_cast<uint32_t>(out.size());
        append(out, lh.Build());
        append(out, e.Name);
        append(out, e.Extra);
        append(out, e.Data);
        append(directory, ch.Build());
        append(directory, e.Name);
        append(directory, e.Extra);
    }
    TEndRecord end;
    end.EntriesThisDisk = end.TotalEntries = static_cast<uint16_t>(entries.size());
    end.DirectorySize = static_cast<uint32_t>(directory.size());
    end.DirectoryOffset = out.size();
    end.CommentLength = static_cast<uint16_t>(comment.size());
    append(out, directory);
    const auto endBytes = end.Build();
    out.insert(out.end(), endBytes.begin(), endBytes.begin() + static_cast<long>(end.Size()));
    append(out, comment);
    return out;
}

static_assert(kBestLevel == Z_BEST_COMPRESSION && kDefaultStrategy == Z_DEFAULT_STRATEGY);

Bytes RawDeflate(const Bytes& data, int level, int strategy) {
    constexpr int kRawWindowBits = -15;
    constexpr int kMemLevel = 8;
    z_stream z{};
    deflateInit2(&z, level, Z_DEFLATED, kRawWindowBits, kMemLevel, strategy);
    Bytes out(deflateBound(&z, static_cast<uLong>(data.size())));
    z.next_in = const_cast<Bytes::value_type*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

std::vector<std::string> ListTree(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        std::string rel = fs::relative(it->path(), folder).generic_string();
        if (it->is_directory())
            rel += '/';
        names.push_back(rel);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string CompareWithPeer(const std::string& archive, const std::string& folder) {
    testutil::TTempDir dir;
    const std::string report = dir / "report.txt";
    const std::string script =
        "import os, time, zipfile\n"
        "root = " +
        PyPath(folder) +
        "\n"
        "bad = []\n"
        "for i in zipfile.ZipFile(" +
        PyPath(archive) +
        ").infolist():\n"
        "    p = os.path.join(root, i.filename)\n"
        "    if i.filename.endswith('/'):\n"
        "        if not os.path.isdir(p): bad.append('missing folder ' + i.filename)\n"
        "        continue\n"
        "    if not os.path.isfile(p):\n"
        "        bad.append('missing ' + i.filename); continue\n"
        "    if open(p, 'rb').read() != zipfile.ZipFile(" +
        PyPath(archive) +
        ").read(i):\n"
        "        bad.append('bytes differ ' + i.filename)\n"
        "    t = time.localtime(os.path.getmtime(p))[:6]\n"
        "    want = i.date_time\n"
        "    if t[:5] != want[:5] or abs(t[5] - want[5]) > 1:\n"
        "        bad.append('time differs %s %s %s' % (i.filename, t, want))\n"
        "open(" +
        PyPath(report) + ", 'w').write('\\n'.join(bad))\n";
    if (RunPython(script) != 0)
        return "the peer check did not run";
    return testutil::ReadText(report);
}

void MakeSourceTree(const std::string& folder) {
    using testutil::WriteFile;
    WriteFile(testutil::Join(folder, "readme.txt"), std::string("Grandvue reads archives.\n"));
    Bytes text;
    for (int i = 0; i < 4000; ++i) {
        const std::string line = "line " + std::to_string(i % 97) + " of a repetitive text file\n";
        text.insert(text.end(), line.begin(), line.end());
    }
    WriteFile(testutil::Join(folder, "dir/sub/deep.txt"), text);
    WriteFile(testutil::Join(folder, "bin/random.bin"), testutil::RandomBytes(70000, 11));
    WriteFile(testutil::Join(folder, "empty.txt"), Bytes{});
    WriteFile(testutil::Join(folder, "NOEXT"), std::string("no extension"));
    testutil::MakeDirs(testutil::Join(folder, "emptydir"));
}

TRawRun::TRawRun(const Bytes& bytes, const std::string& name) : Archive(Dir / name) {
    testutil::WriteFile(Archive, bytes);
    Reader.FileSpec = {"*.*"};
}

int32_t TRawRun::Extract() {
    Reader.SetArchiveFile(Archive);
    Reader.SetExtractDir(Target);
    return Reader.Extract();
}

void TErrorLog::Attach(archive::TZipCommon& component) {
    component.OnError = [this](fw::TObject*, const std::string& name, const std::string& extended, const std::string&,
                               int32_t code) {
        Codes.push_back(code);
        Names.push_back(name);
        Extended.push_back(extended);
    };
}

bool TErrorLog::Has(int32_t code) const {
    return std::find(Codes.begin(), Codes.end(), code) != Codes.end();
}

}  // namespace archivetest
