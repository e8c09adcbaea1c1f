// Memory, file and handle streams: positions, sizes, all-or-nothing reads and failed opens.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "framework/Exceptions.h"
#include "framework/Streams.h"

namespace {

using testutil::Bytes;

TEST(MemoryStream, WritesGrowReadsStopAtTheEndAndSizeCutsThePosition) {
    fw::TMemoryStream m;
    const Bytes data = testutil::RandomBytes(100000, 7);
    m.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
    EXPECT_EQ(m.Size(), 100000);
    EXPECT_EQ(m.Position(), 100000);
    m.SetPosition(99990);
    uint8_t buf[32];
    EXPECT_EQ(m.Read(buf, 32), 10);
    EXPECT_EQ(m.Read(buf, 32), 0);
    m.SetSize(10);
    EXPECT_EQ(m.Position(), 10);
    m.SetPosition(0);
    EXPECT_THROW(m.ReadBuffer(buf, 11), fw::EReadError);
    m.SetPosition(0);
    EXPECT_NO_THROW(m.ReadBuffer(buf, 10));
    EXPECT_EQ(Bytes(buf, buf + 10), Bytes(data.begin(), data.begin() + 10));
}

TEST(MemoryStream, WritingPastTheEndFillsTheGapWithZeros) {
    fw::TMemoryStream m;
    m.SetPosition(4);
    const uint8_t x = 9;
    m.WriteBuffer(&x, 1);
    EXPECT_EQ(m.Bytes(), (Bytes{0, 0, 0, 0, 9}));
}

TEST(MemoryStream, CopyFromZeroCopiesTheWholeSourceFromItsStart) {
    fw::TMemoryStream src, dst;
    const Bytes data = testutil::RandomBytes(70000, 3);
    src.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
    EXPECT_EQ(dst.CopyFrom(src, 0), 70000);
    EXPECT_EQ(dst.Bytes(), data);
    src.SetPosition(100);
    dst.Clear();
    EXPECT_EQ(dst.CopyFrom(src, 5), 5);
    EXPECT_EQ(dst.Bytes(), Bytes(data.begin() + 100, data.begin() + 105));
}

TEST(FileStream, CreatesTruncatesAndReadsBack) {
    testutil::TTempDir dir;
    const std::string path = dir / "a.bin";
    testutil::WriteFile(path, Bytes(1000, 1));
    {
        fw::TFileStream f(path, platform::fmCreate);
        EXPECT_EQ(f.Size(), 0);
        const Bytes data = testutil::RandomBytes(5000, 11);
        f.WriteBuffer(data.data(), 5000);
        f.SetSize(3000);
        EXPECT_EQ(f.Size(), 3000);
    }
    const Bytes written = testutil::RandomBytes(5000, 11);
    EXPECT_EQ(testutil::ReadFile(path), Bytes(written.begin(), written.begin() + 3000));
    fw::TFileStream r(path, platform::fmOpenRead | platform::fmShareDenyNone);
    r.Seek(-1, fw::soEnd);
    EXPECT_EQ(r.Position(), 2999);
}

TEST(FileStream, FailedOpenAndCreateRaiseWithTheFileName) {
    testutil::TTempDir dir;
    const std::string missing = dir / "none.bin";
    try {
        fw::TFileStream f(missing, platform::fmOpenRead);
        FAIL();
    } catch (const fw::EFOpenError& e) {
        EXPECT_NE(e.Message().find(missing), std::string::npos);
    }
    EXPECT_THROW(fw::TFileStream(dir / "no/such/folder/x.bin", platform::fmCreate), fw::EFCreateError);
}

TEST(HandleStream, InvalidHandleReadsAndWritesNothing) {
    fw::THandleStream h(platform::kInvalidHandle);
    uint8_t b[4] = {};
    EXPECT_EQ(h.Read(b, 4), 0);
    EXPECT_EQ(h.Write(b, 4), 0);
    EXPECT_THROW(h.WriteBuffer(b, 4), fw::EWriteError);
}

}  // namespace
