// Names flagged as UTF-8 whose bytes are not UTF-8: refused by name, never written under another name.
#include <gtest/gtest.h>

#include "archive/Messages.h"
#include "archive/format/Records.h"
#include "tests/archive/ArchiveFixtures.h"

using namespace archive;
using namespace archivetest;

namespace {
struct TBadName {
    std::string Name;
    const char* What;
};

const TBadName kBadNames[] = {
    {"caf\xE9.class", "Latin-1"},
    {"a\xC0\xAF"
     "b.class",
     "an overlong slash"},
    {"\xED\xA0\x80.class", "a surrogate"},
    {"\xF4\x90\x80\x80.class", "above U+10FFFF"},
    {"cut\xE2\x82", "a sequence cut at the end"},
};

// The archive without its end record: read by walking the local headers.
Bytes WithoutEndRecord(const Bytes& zip) {
    for (size_t k = 0; k + 4 <= zip.size(); ++k)
        if (GetU32(zip, k) == kEndRecordSig)
            return Bytes(zip.begin(), zip.begin() + static_cast<std::ptrdiff_t>(k));
    return zip;
}
}  // namespace

TEST(UnZipNameBytes, AUtf8FlaggedNameThatIsNotUtf8IsRefusedByName) {
    for (const TBadName& bad : kBadNames) {
        TRawEntry entry{bad.Name, TextBytes("bad")};
        entry.Flags = kFlagUtf8;
        const Bytes zip = BuildRawZip({{"good.txt", TextBytes("good")}, entry});
        for (const bool walk : {false, true}) {
            TRawRun run(walk ? WithoutEndRecord(zip) : zip);
            TErrorLog log;
            log.Attach(run.Reader);
            EXPECT_EQ(run.Extract(), 1) << bad.What << (walk ? " (walked)" : "");
            ASSERT_EQ(log.Names.size(), 1u) << bad.What << (walk ? " (walked)" : "");
            EXPECT_EQ(log.Names[0], bad.Name) << bad.What;
            EXPECT_EQ(log.Codes[0], kMsgErrorOpeningFile) << bad.What;
            EXPECT_EQ(ListTree(run.Target), std::vector<std::string>{"good.txt"}) << bad.What;
            EXPECT_TRUE(run.Reader.Utf8Names.empty()) << bad.What;  // nothing for the writer to store back
        }
    }
}
