// Deflating ahead on worker threads: the same bytes as zlib and as the writer working alone.
#include <gtest/gtest.h>

#include <zlib.h>

#include "archive/pipeline/DeflateAhead.h"
#include "archive/write/Jar.h"
#include "tests/TestUtil.h"
#include "tests/archive/ArchiveFixtures.h"

namespace {

using testutil::Bytes;

Bytes Text(size_t n) {
    Bytes out;
    const std::string line = "public class Screen extends javax/microedition/lcdui/Canvas { int x; }\n";
    while (out.size() < n)
        out.insert(out.end(), line.begin(), line.end());
    out.resize(n);
    return out;
}

uint32_t ZlibCrc(const Bytes& data) {
    return static_cast<uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size())));
}

TEST(DeflateAhead, ResultsAreZlibsRawDeflateAndCrcForEachKey) {
    archive::TDeflateAhead ahead(archive::dtDeflateN, 2);
    const std::vector<Bytes> inputs{Text(1), Text(300), testutil::RandomBytes(70000, 7), Text(400000)};
    for (size_t i = 0; i < inputs.size(); ++i)
        ahead.Submit(i, inputs[i]);
    for (size_t i = inputs.size(); i-- > 0;) {  // taken in any order
        const auto result = ahead.Take(i);
        ASSERT_TRUE(result && result->Ok) << i;
        EXPECT_EQ(result->Size, inputs[i].size());
        EXPECT_EQ(result->Crc, ZlibCrc(inputs[i])) << i;
        EXPECT_EQ(result->Packed, archivetest::RawDeflate(inputs[i], Z_DEFAULT_COMPRESSION)) << i;
    }
    EXPECT_EQ(ahead.Count(), 0u);
    EXPECT_EQ(ahead.BytesHeld(), 0u);
}

TEST(DeflateAhead, ClearedOrUnknownKeysGiveNothingAndResubmittingWorks) {
    archive::TDeflateAhead ahead(archive::dtDeflateX, 1);
    EXPECT_FALSE(ahead.Take(3).has_value());
    for (size_t i = 0; i < 20; ++i)
        ahead.Submit(i, Text(100000 + i));
    ahead.Clear();
    EXPECT_EQ(ahead.Count(), 0u);
    EXPECT_FALSE(ahead.Submitted(5));
    EXPECT_FALSE(ahead.Take(5).has_value());
    ahead.Submit(5, Text(1000));  // a job cleared while running must not answer for the new one
    const auto result = ahead.Take(5);
    ASSERT_TRUE(result && result->Ok);
    EXPECT_EQ(result->Packed, archivetest::RawDeflate(Text(1000), Z_BEST_COMPRESSION));
}

// Packs `folder` into `archive`; a begin handler keeps the writer from deflating ahead.
// A large file is read by the worker and deflated into its temporary file; one it cannot read is left
// to the writer (not Ok), and the temporary files go when the results do.
TEST(DeflateAhead, LargeFilesAreDeflatedIntoTemporaryFiles) {
    testutil::TTempDir dir;
    const Bytes text = Text(3000000), noise = testutil::RandomBytes(1500000, 8);
    testutil::WriteFile(dir / "text.bin", text);
    testutil::WriteFile(dir / "noise.bin", noise);
    testutil::MakeDirs(dir / "tmp");
    {
        archive::TDeflateAhead ahead(archive::dtDeflateN, 2);
        ahead.SubmitLarge(0, dir / "text.bin", std::make_unique<archive::TTempFileStream>(dir / "tmp"));
        ahead.SubmitLarge(1, dir / "missing.bin", std::make_unique<archive::TTempFileStream>(dir / "tmp"));
        ahead.SubmitLarge(2, dir / "noise.bin", std::make_unique<archive::TTempFileStream>(dir / "tmp"));
        EXPECT_EQ(ahead.LargeCount(), 3u);
        for (const auto& [key, input] : std::vector<std::pair<size_t, const Bytes*>>{{0, &text}, {2, &noise}}) {
            auto result = ahead.Take(key, [] {});
            ASSERT_TRUE(result && result->Ok && result->Spill) << key;
            EXPECT_EQ(result->Size, input->size());
            EXPECT_EQ(result->Crc, ZlibCrc(*input));
            // Read through the stream: Windows shares the open temporary file with nobody.
            EXPECT_EQ(result->SpillSize, static_cast<uint64_t>(result->Spill->Size()));
            Bytes spilled(result->SpillSize);
            result->Spill->SetPosition(0);
            result->Spill->ReadBuffer(spilled.data(), static_cast<int64_t>(spilled.size()));
            EXPECT_EQ(spilled, archivetest::RawDeflate(*input, Z_DEFAULT_COMPRESSION)) << key;
        }
        const auto missing = ahead.Take(1);
        ASSERT_TRUE(missing.has_value());
        EXPECT_FALSE(missing->Ok);
        EXPECT_EQ(ahead.LargeCount(), 0u);
    }
    EXPECT_TRUE(archivetest::ListTree(dir / "tmp").empty());
}

Bytes Pack(const std::string& folder,
           const std::string& archive,
           const std::string& temp,
           bool alone,
           archive::TOutputKind method = archive::cmTempFile) {
    archive::TJar jar(nullptr);
    jar.SetCompressionMethod(method);
    jar.SetTempDir(temp);
    jar.SetArchiveFile(archive);
    jar.FileSpec = {folder + platform::PathDelim + "*.*"};
    jar.StoreFilesOfType = {".PNG"};
    if (alone)
        jar.OnBegin = [](fw::TObject*, const std::string&, int32_t, bool&) {};
    EXPECT_GT(jar.Compress(), 0);
    return testutil::ReadFile(archive);
}

TEST(DeflateAhead, TheWriterMakesTheSameArchiveWithAndWithoutWorkers) {
    testutil::TTempDir dir;
    const std::string work = dir / "work";
    // Sizes around every rule: empty, the small-file limit, stored types, one chunk, above the ahead limit.
    const std::vector<std::pair<std::string, Bytes>> files{
        {"empty.txt", {}},
        {"a/tiny.class", Text(20)},
        {"a/random256.bin", testutil::RandomBytes(256, 1)},
        {"a/random257.bin", testutil::RandomBytes(257, 2)},
        {"a/text257.class", Text(257)},
        {"b/picture.png", testutil::RandomBytes(5000, 3)},
        {"b/chunk.class", Text(131072)},
        {"b/c/big.bin", Text(1500000)},
        {"b/c/noise.bin", testutil::RandomBytes(300000, 4)},
        {"d/large.bin", testutil::RandomBytes(2500000, 5)},
        {"d/e/large.class", Text(1200000)},
    };
    for (const auto& [name, data] : files)
        testutil::WriteFile(testutil::Join(work, name), data);
    for (int i = 0; i < 150; ++i)
        testutil::WriteFile(testutil::Join(work, "many/C" + std::to_string(i) + ".class"), Text(500 + i * 37));
    testutil::MakeDirs(dir / "tmp");
    const Bytes ahead = Pack(work, dir / "ahead.jar", dir / "tmp", false);
    const Bytes alone = Pack(work, dir / "alone.jar", dir / "tmp", true);
    // A writer kept in memory does its large files itself and still reads the small ones after them ahead.
    const Bytes inMemory = Pack(work, dir / "memory.jar", dir / "tmp", false, archive::cmInMemory);
    EXPECT_EQ(ahead.size(), alone.size());
    EXPECT_TRUE(ahead == alone);
    EXPECT_TRUE(inMemory == alone);
    EXPECT_EQ(archivetest::CompareWithPeer(dir / "ahead.jar", work), "");
    EXPECT_TRUE(archivetest::ListTree(dir / "tmp").empty());  // no temporary file left behind
}

}  // namespace
