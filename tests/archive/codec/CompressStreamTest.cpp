// Tests of the deflate encoder stream against zlib's own raw deflate and Python's decoder.
#include <gtest/gtest.h>

#include <zlib.h>
#include <tuple>

#include "archive/codec/CompressStream.h"
#include "archive/format/Crc32.h"
#include "tests/TestUtil.h"
#include "tests/archive/ArchiveFixtures.h"
#include "tests/archive/WriterFixtures.h"

namespace {

using archive::TDeflateType;
using testutil::Bytes;

Bytes Deflate(const Bytes& input, TDeflateType type, uint32_t& crc) {
    fw::TMemoryStream in, out;
    in.Write(input.data(), static_cast<int32_t>(input.size()));
    EXPECT_TRUE(archive::DeflateStream(in, out, type, {}, crc));
    return out.Bytes();
}

// Text that compresses well and crosses several 131072-byte input chunks and output buffers.
Bytes RepetitiveText(size_t size) {
    Bytes text;
    for (uint32_t i = 0; text.size() < size; ++i) {
        const std::string line = "line " + std::to_string(i % 977) + " of javax/microedition/lcdui/Canvas\n";
        text.insert(text.end(), line.begin(), line.end());
    }
    text.resize(size);
    return text;
}

Bytes Mixed(size_t size) {
    Bytes data = RepetitiveText(size / 2);
    const Bytes noise = testutil::RandomBytes(size - data.size(), 7);
    data.insert(data.end(), noise.begin(), noise.end());
    return data;
}

struct TCase {
    const char* What;
    Bytes Input;
};

std::vector<TCase> Cases() {
    return {{"empty", {}},
            {"one byte", {0x41}},
            {"300 random bytes", testutil::RandomBytes(300, 3)},
            {"text over three input chunks", RepetitiveText(3 * 131072 + 17)},
            {"random data filling several output buffers", testutil::RandomBytes(400000, 5)},
            {"text then noise", Mixed(200000)}};
}

TEST(CompressStream, EqualsZlibRawDeflateForEveryDeflatingType) {
    const std::pair<TDeflateType, int> levels[] = {
        {archive::dtDeflateF, 1}, {archive::dtDeflateN, 6}, {archive::dtDeflateX, 9}};
    for (const TCase& c : Cases()) {
        for (const auto& [type, level] : levels) {
            uint32_t crc = 1;
            EXPECT_EQ(Deflate(c.Input, type, crc), archivetest::RawDeflate(c.Input, level))
                << c.What << " level " << level;
            EXPECT_EQ(crc, archive::Crc32(c.Input)) << c.What;
        }
    }
}

// Level 0 is the exception: its stored blocks follow the sizes of the caller's buffers. The writer stores
// such files itself and never deflates at level 0, but the stream must still decode to its input.
TEST(CompressStream, LevelZeroGivesStoredBlocksThatDecode) {
    for (const TCase& c : Cases()) {
        uint32_t crc = 0;
        EXPECT_EQ(writertest::RawInflate(Deflate(c.Input, archive::dtDeflateS, crc), c.Input.size()), c.Input)
            << c.What;
        EXPECT_EQ(crc, archive::Crc32(c.Input));
    }
}

TEST(CompressStream, OutputDoesNotDependOnHowInputIsSplit) {
    const Bytes input = Mixed(100000);
    const Bytes reference = archivetest::RawDeflate(input, 6);
    for (const size_t piece : {size_t{1}, size_t{31}, size_t{32768}}) {
        fw::TMemoryStream out;
        {
            archive::TCompressStream deflater(out, archive::dtDeflateN);
            for (size_t pos = 0; pos < input.size(); pos += piece) {
                const auto n = static_cast<int32_t>(std::min(piece, input.size() - pos));
                ASSERT_EQ(deflater.Write(input.data() + pos, n), n);
            }
            EXPECT_EQ(deflater.Position(), static_cast<int64_t>(input.size()));
            deflater.Finish();
            EXPECT_EQ(deflater.Crc(), archive::Crc32(input));
        }
        EXPECT_EQ(out.Bytes(), reference) << "pieces of " << piece;
    }
}

TEST(CompressStream, EmptyInputGivesOneEmptyFixedBlockAndCrcZero) {
    uint32_t crc = 1;
    EXPECT_EQ(Deflate({}, archive::dtDeflateN, crc), (Bytes{0x03, 0x00}));
    EXPECT_EQ(crc, 0u);
}

TEST(CompressStream, IsWriteOnlyAndAnswersOnlyForItsPosition) {
    fw::TMemoryStream out;
    archive::TCompressStream deflater(out, archive::dtDeflateN);
    uint8_t byte = 0;
    EXPECT_EQ(deflater.Read(&byte, 1), -1);
    EXPECT_EQ(deflater.Seek(0, fw::soBeginning), -1);
    EXPECT_EQ(deflater.Seek(1, fw::soCurrent), -1);
    EXPECT_EQ(deflater.Write("abc", 3), 3);
    EXPECT_EQ(deflater.Seek(0, fw::soCurrent), 3);
}

TEST(CompressStream, AppendsBehindWhatTheOutputHoldsEvenIfTheOutputWasMoved) {
    const Bytes input = RepetitiveText(5000);
    fw::TMemoryStream out;
    out.Write("HEAD", 4);
    {
        archive::TCompressStream deflater(out, archive::dtDeflateN);
        out.SetPosition(0);  // somebody else moved the shared output
        deflater.Write(input.data(), static_cast<int32_t>(input.size()));
        deflater.Finish();
    }
    Bytes expected{'H', 'E', 'A', 'D'};
    const Bytes packed = archivetest::RawDeflate(input, 6);
    expected.insert(expected.end(), packed.begin(), packed.end());
    EXPECT_EQ(out.Bytes(), expected);
}

TEST(CompressStream, CancelFlagStopsTheRunWithoutFinishing) {
    const Bytes input = RepetitiveText(300000);
    fw::TMemoryStream in, out;
    in.Write(input.data(), static_cast<int32_t>(input.size()));
    bool cancel = true;
    archive::TDeflateContext context;
    context.Cancel = &cancel;
    uint32_t crc = 0;
    EXPECT_FALSE(archive::DeflateStream(in, out, archive::dtDeflateN, context, crc));
    EXPECT_EQ(out.Size(), 0);
}

// The workspace keeps the deflate engine from one entry to the next; a stream left half-way must not leak into
// the next one, whatever level either uses.
TEST(CompressStream, AStreamAfterAnAbandonedOneEqualsAFreshZlibStream) {
    const Bytes first = testutil::RandomBytes(200000, 21);
    const Bytes second = Mixed(150000);
    archive::TDeflateWorkspace workspace;
    archive::TDeflateContext context;
    context.Workspace = &workspace;
    for (auto [abandonedType, type, level] :
         {std::tuple{archive::dtDeflateN, archive::dtDeflateN, Z_DEFAULT_COMPRESSION},
          std::tuple{archive::dtDeflateX, archive::dtDeflateF, 1}}) {
        {
            fw::TMemoryStream sink;
            archive::TCompressStream abandoned(sink, abandonedType, context);
            abandoned.Write(first.data(), static_cast<int32_t>(first.size()));
        }
        fw::TMemoryStream in, out;
        in.Write(second.data(), static_cast<int32_t>(second.size()));
        uint32_t crc = 0;
        EXPECT_TRUE(archive::DeflateStream(in, out, type, context, crc));
        EXPECT_EQ(out.Bytes(), archivetest::RawDeflate(second, level));
    }
}

TEST(CompressStream, ProgressCounterFallsByEveryByteConsumed) {
    const Bytes input = RepetitiveText(3 * 131072);
    fw::TMemoryStream in, out;
    in.Write(input.data(), static_cast<int32_t>(input.size()));
    int64_t remaining = static_cast<int64_t>(input.size());
    int calls = 0;
    archive::TDeflateContext context;
    context.Remaining = &remaining;
    context.OnProgress = [&] { ++calls; };
    uint32_t crc = 0;
    EXPECT_TRUE(archive::DeflateStream(in, out, archive::dtDeflateN, context, crc));
    EXPECT_EQ(remaining, 0);
    EXPECT_GE(calls, 3);
}

TEST(CompressStream, RoundTripsThroughZlibAndPython) {
    testutil::TTempDir dir;
    for (const TCase& c : Cases()) {
        uint32_t crc = 0;
        const Bytes packed = Deflate(c.Input, archive::dtDeflateN, crc);
        EXPECT_EQ(writertest::RawInflate(packed, c.Input.size()), c.Input) << c.What;
        if (!testutil::HostHas("python3"))
            continue;
        testutil::WriteFile(dir / "packed.bin", packed);
        testutil::WriteFile(dir / "plain.bin", c.Input);
        const std::string script =
            "import sys,zlib; d=zlib.decompress(open(sys.argv[1],'rb').read(), -15); "
            "sys.exit(0 if d == open(sys.argv[2],'rb').read() else 1)";
        EXPECT_EQ(testutil::RunHost("python3 -c " + testutil::Quote(script) + " " +
                                    testutil::Quote(testutil::ToHostPath(dir / "packed.bin")) + " " +
                                    testutil::Quote(testutil::ToHostPath(dir / "plain.bin"))),
                  0)
            << c.What;
    }
}

}  // namespace
