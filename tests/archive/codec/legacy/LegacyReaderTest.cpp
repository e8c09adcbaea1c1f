// Archives with shrunk, reduced and imploded entries come out of the reader byte for byte; a bad
// shrink stream takes the reader's fatal path.
#include <gtest/gtest.h>

#include <algorithm>

#include "LegacyEncoders.h"
#include "LegacyHarness.h"
#include "archive/Messages.h"
#include "archive/codec/legacy/Legacy.h"
#include "archive/read/UnZip.h"
#include "framework/Application.h"
#include "tests/TestUtil.h"

namespace legacytest {
namespace {

using namespace archive::legacy;

struct TExtracted {
    int32_t written = 0;
    std::vector<int32_t> codes;
    Bytes data;
};

TExtracted ExtractOne(const Bytes& zip) {
    testutil::TTempDir dir;
    testutil::WriteFile(dir / "legacy.zip", zip);
    archive::TUnZip reader(nullptr);
    TExtracted result;
    reader.OnError = [&](fw::TObject*, const std::string&, const std::string&, const std::string&, int32_t code) {
        result.codes.push_back(code);
    };
    reader.FileSpec = {"*.*"};
    reader.SetArchiveFile(dir / "legacy.zip");
    reader.SetExtractDir(dir / "out");
    result.written = reader.Extract();
    if (testutil::Exists(dir / "out/f.txt"))
        result.data = testutil::ReadFile(dir / "out/f.txt");
    return result;
}

TEST(LegacyThroughReader, EveryMethodExtractsToTheOriginalBytes) {
    const Bytes data = Text(150000);
    const struct {
        const char* what;
        int method;
        uint16_t flags;
        Bytes packed;
    } entries[] = {
        {"shrink", kMethodShrunk, 0, Shrink(data, {500}).packed},
        {"reduce 1", kMethodReducedFirst, 0, Reduce(data, 1)},
        {"reduce 4", kMethodReducedLast, 0, Reduce(data, 4)},
        {"implode 8K three trees", kMethodImploded, kFlagImplode8K | kFlagImplodeLiterals, Implode(data, true, true)},
    };
    for (const auto& e : entries) {
        const TExtracted got = ExtractOne(OneEntryZip(e.method, e.flags, e.packed, data));
        EXPECT_EQ(got.written, 1) << e.what;
        EXPECT_TRUE(got.codes.empty()) << e.what << ": " << got.codes.front();
        EXPECT_TRUE(got.data == data) << e.what;
    }
}

TEST(LegacyThroughReader, ABadShrinkStreamReportsBadBlock) {
    const Bytes data = Text(1000);
    const Bytes packed = {0x00, 0x0F, 0x00};  // code 256 followed by 7: neither "grow" nor "clear"
    const TExtracted got = ExtractOne(OneEntryZip(kMethodShrunk, 0, packed, data));
    EXPECT_NE(std::find(got.codes.begin(), got.codes.end(), archive::kMsgBadBlock), got.codes.end());
}

}  // namespace
}  // namespace legacytest
