// Streams of the test-only encoders and hand-packed codes, checked by the host's 7z and unzip.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstring>

#include "LegacyEncoders.h"
#include "LegacyHarness.h"
#include "tests/TestUtil.h"

namespace legacytest {
namespace {

using namespace archive::legacy;

bool PeerAccepts(const std::string& command, const Bytes& zip) {
    testutil::TTempDir dir;
    const std::string path = dir / "legacy.zip";
    testutil::WriteFile(path, zip);
    return testutil::RunHost(command + " " + testutil::Quote(testutil::ToHostPath(path)) + " >/dev/null 2>&1") == 0;
}

// The peers decode shrink and implode (not reduce); each must find the CRC of the original data.
TEST(LegacyPeers, SevenZipAndUnzipAcceptEncodedStreams) {
    if (!testutil::HostHas("7z") || !testutil::HostHas("unzip"))
        GTEST_SKIP() << "7z or unzip missing on the host";
    const Bytes data = Text(100000);
    const struct {
        const char* what;
        int method;
        uint16_t flags;
        Bytes packed;
    } streams[] = {
        {"shrink", kMethodShrunk, 0, Shrink(data).packed},
        {"implode 4K two trees", kMethodImploded, 0, Implode(data, false, false)},
        {"implode 8K two trees", kMethodImploded, kFlagImplode8K, Implode(data, true, false)},
        {"implode 4K three trees", kMethodImploded, kFlagImplodeLiterals, Implode(data, false, true)},
        {"implode 8K three trees", kMethodImploded, kFlagImplode8K | kFlagImplodeLiterals, Implode(data, true, true)},
    };
    for (const auto& stream : streams) {
        SCOPED_TRACE(stream.what);
        const Bytes zip = OneEntryZip(stream.method, stream.flags, stream.packed, data);
        EXPECT_TRUE(PeerAccepts("7z t", zip));
        EXPECT_TRUE(PeerAccepts("unzip -tq", zip));
    }
}

// Partial clears that keep strings, reuse freed slots and define a slot by its own use.
TEST(LegacyPeers, SevenZipAndUnzipReadHandPackedClears) {
    if (!testutil::HostHas("7z") || !testutil::HostHas("unzip"))
        GTEST_SKIP() << "7z or unzip missing on the host";
    const struct {
        std::vector<uint32_t> codes;
        const char* text;
    } cases[] = {
        {{'A', 'B', 'C', 256, 2, 'B', 257}, "ABCBCB"},
        {{'A', 257, 'A', 256, 2, 'B', 258, 257}, "AAAABABAA"},
        {{'A', 'B', 'C', 258, 'A', 256, 2, 'D', 257, 258}, "ABCBCADADBC"},
        {{'A', 'B', 'C', 258, 'A', 256, 2, 'D', 259}, "ABCBCADDD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TBitWriter out;
        for (const uint32_t code : c.codes)
            out.Put(code, 9);
        const Bytes packed = out.Finish();
        const Bytes data(c.text, c.text + std::strlen(c.text));
        const TDecoded ours = Decode(kMethodShrunk, 0, packed, int64_t(data.size()));
        EXPECT_EQ(ours.status, lsOk);
        EXPECT_TRUE(ours.data == data);
        const Bytes zip = OneEntryZip(kMethodShrunk, 0, packed, data);
        EXPECT_TRUE(PeerAccepts("7z t", zip));
        EXPECT_TRUE(PeerAccepts("unzip -tq", zip));
    }
}

}  // namespace
}  // namespace legacytest
