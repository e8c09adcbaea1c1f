// Fixture helpers of the archive tests.
#include "tests/archive/ArchiveFixtures.h"

#include "archive/Crc32.h"
#include "archive/Records.h"

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
        lh.CompressedSize = lh.UncompressedSize = static_cast<uint32_t>(e.Data.size());
        lh.NameLength = static_cast<uint16_t>(e.Name.size());
        TCentralHeader ch;
        ch.Method = lh.Method;
        ch.Flags = lh.Flags;
        ch.DateTime = lh.DateTime;
        ch.Crc32 = lh.Crc32;
        ch.CompressedSize = ch.UncompressedSize = lh.CompressedSize;
        ch.NameLength = lh.NameLength;
        ch.ExternalAttributes = e.ExternalAttributes;
        ch.LocalHeaderOffset = static_cast<uint32_t>(out.size());
        append(out, lh.Build());
        append(out, e.Name);
        append(out, e.Data);
        append(directory, ch.Build());
        append(directory, e.Name);
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

}  // namespace archivetest
