// ZIP records: round trips at the fixed offsets, rejection of short or foreign bytes, date packing, extra fields.
#include <gtest/gtest.h>

#include <vector>

#include "archive/format/Records.h"

using namespace archive;

namespace {
std::vector<uint8_t> Block(uint16_t id, std::vector<uint8_t> data, int declared = -1) {
    std::vector<uint8_t> b(4);
    PutU16(b, 0, id);
    PutU16(b, 2, static_cast<uint16_t>(declared < 0 ? data.size() : static_cast<size_t>(declared)));
    b.insert(b.end(), data.begin(), data.end());
    return b;
}
std::vector<uint8_t> U64(uint64_t v) {
    std::vector<uint8_t> b(8);
    PutU64(b, 0, v);
    return b;
}
std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> all;
    for (const auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}
}  // namespace

TEST(RecordsLayout, LocalHeaderRoundTripsAtItsOffsets) {
    TLocalHeader h;
    h.VersionNeeded = 20;
    h.Flags = 0x0808;
    h.Method = 8;
    h.DateTime = 0x58A16B4F;
    h.Crc32 = 0xDEADBEEF;
    h.CompressedSize = 1234;
    h.UncompressedSize = 5678;
    h.NameLength = 9;
    h.ExtraLength = 4;
    const auto bytes = h.Build();
    EXPECT_EQ(GetU32(bytes, 0), kLocalHeaderSig);
    EXPECT_EQ(GetU16(bytes, 8), 8);             // method
    EXPECT_EQ(GetU32(bytes, 10), 0x58A16B4Fu);  // time low, date high
    EXPECT_EQ(GetU32(bytes, 22), 5678u);
    EXPECT_EQ(GetU16(bytes, 28), 4);
    const auto back = TLocalHeader::Parse(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Crc32, h.Crc32);
    EXPECT_EQ(back->CompressedSize, h.CompressedSize);
    EXPECT_EQ(back->NameLength, h.NameLength);
}

TEST(RecordsLayout, CentralHeaderRoundTripsAtItsOffsets) {
    TCentralHeader h;
    h.Method = 9;
    h.NameLength = 3;
    h.ExtraLength = 5;
    h.CommentLength = 7;
    h.ExternalAttributes = 0x10;
    h.LocalHeaderOffset = 0x01020304;
    const auto bytes = h.Build();
    EXPECT_EQ(GetU32(bytes, 42), 0x01020304u);
    EXPECT_EQ(GetU32(bytes, 38), 0x10u);
    const auto back = TCentralHeader::Parse(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->RecordLength(), 46u + 3 + 5 + 7);
    EXPECT_EQ(back->LocalHeaderOffset, h.LocalHeaderOffset);
}

TEST(RecordsLayout, EndRecordsOfBothKindsRoundTrip) {
    for (bool wide : {false, true}) {
        TEndRecord r;
        r.Wide = wide;
        r.TotalEntries = 3;
        r.DirectorySize = 300;
        r.DirectoryOffset = wide ? 0x123456789ull : 0x9999;
        r.CommentLength = 11;
        const auto bytes = r.Build();
        const auto back = TEndRecord::Parse(std::span(bytes).first(r.Size()));
        ASSERT_TRUE(back) << wide;
        EXPECT_EQ(back->Wide, wide);
        EXPECT_EQ(back->DirectoryOffset, r.DirectoryOffset);
        EXPECT_EQ(back->CommentLength, 11);
    }
}

TEST(RecordsLayout, Zip64RecordsRoundTrip) {
    TZip64Locator loc;
    loc.Zip64EndOffset = 0x100000000ull;
    EXPECT_EQ(TZip64Locator::Parse(loc.Build())->Zip64EndOffset, loc.Zip64EndOffset);
    TZip64EndRecord end;
    end.DirectorySize = 77;
    end.DirectoryOffset = 0x200000000ull;
    const auto back = TZip64EndRecord::Parse(end.Build());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->DirectorySize, 77u);
    EXPECT_EQ(back->DirectoryOffset, end.DirectoryOffset);
}

TEST(RecordsLayout, RejectsShortSpansAndForeignSignatures) {
    const auto local = TLocalHeader().Build();
    EXPECT_FALSE(TLocalHeader::Parse(std::span(local).first(29)));
    EXPECT_FALSE(TCentralHeader::Parse(local));
    EXPECT_FALSE(TEndRecord::Parse(local));
    EXPECT_EQ(GetU32(std::span(local).first(3), 0), 0u);
    EXPECT_EQ(GetU16(local, 29), 0u);  // a read running past the end gives 0
}

TEST(RecordsDosDate, PacksAndUnpacksTheFields) {
    const TDosDateTime cases[] = {{1980, 1, 1, 0, 0, 0}, {2024, 5, 17, 13, 45, 30}, {2107, 12, 31, 23, 59, 58}};
    for (const auto& c : cases)
        EXPECT_EQ(UnpackDosDateTime(PackDosDateTime(c)), c);
    // 2024-05-17 13:45:30: date (44 << 9 | 5 << 5 | 17), time (13 << 11 | 45 << 5 | 15).
    EXPECT_EQ(PackDosDateTime({2024, 5, 17, 13, 45, 30}), (uint32_t{0x58B1} << 16) | 0x6DAF);
}

TEST(RecordsExtraField, ReplacesOnlyTheFieldsMarkedForZip64) {
    TCentralHeader h;
    h.UncompressedSize = kValueInZip64;
    h.CompressedSize = 500;  // not marked: not read from the block
    h.LocalHeaderOffset = kValueInZip64;
    const auto extra = Block(kExtraZip64, Concat({U64(0x0000'1234'0000'0010ull), U64(0x0007'0000'0000'0020ull)}));
    const TExtraInfo info = WalkExtraField(extra, h);
    EXPECT_EQ(h.UncompressedSize, 0x10u);
    EXPECT_EQ(info.High.Uncompressed, 0x1234);
    EXPECT_EQ(h.CompressedSize, 500u);
    EXPECT_EQ(h.LocalHeaderOffset, 0x20u);
    EXPECT_EQ(info.High.Offset, 0);  // only 16 of the upper 32 bits are kept
}

TEST(RecordsExtraField, ReadsSizeExtensionAesAndStrongEncryptionBlocks) {
    TLocalHeader local;
    const auto extra = Concat({Block(kExtraSizeExtension, {1, 0, 2, 0}), Block(kExtraAes, {2, 0, 'A', 'E', 3, 8, 0}),
                               Block(kExtraStrongEncryption, {9, 9})});
    const TExtraInfo info = WalkExtraField(extra, local);
    EXPECT_EQ(info.High.Compressed, 1);
    EXPECT_EQ(info.High.Uncompressed, 2);
    EXPECT_TRUE(info.Aes.Present);
    EXPECT_EQ(info.Aes.KeyStrength, 3);
    EXPECT_EQ(info.Aes.Method, 8);
    EXPECT_TRUE(info.StrongEncryption);

    TCentralHeader central;
    const auto centralExtra = Block(kExtraSizeExtension, {1, 0, 2, 0, 3, 0});
    EXPECT_EQ(WalkExtraField(centralExtra, central).High.Offset, 3);
}

TEST(RecordsExtraField, StopsAtABlockThatClaimsMoreThanIsLeft) {
    TLocalHeader h;
    h.CompressedSize = kValueInZip64;
    // The Zip64 block claims 200 bytes but only 4 follow: nothing can be taken from it.
    const auto extra = Concat({Block(0x7875, {1, 2, 3}), Block(kExtraZip64, {1, 2, 3, 4}, 200)});
    const TExtraInfo info = WalkExtraField(extra, h);
    EXPECT_EQ(h.CompressedSize, kValueInZip64);
    EXPECT_EQ(info.High.Compressed, 0);
    // A truncated block header at the end is ignored.
    EXPECT_FALSE(WalkExtraField(std::vector<uint8_t>{0x01, 0x00, 0x08}, h).Aes.Present);
}

TEST(RecordsExtraField, ASizeExtensionBuiltIsReadBackInBothHeaders) {
    const THighWords high{0x0102, 0x0304, 0x0506};
    TLocalHeader local;
    const TExtraInfo fromLocal = WalkExtraField(BuildSizeExtension(high, false), local);
    EXPECT_EQ(fromLocal.High.Compressed, high.Compressed);
    EXPECT_EQ(fromLocal.High.Uncompressed, high.Uncompressed);
    EXPECT_EQ(fromLocal.High.Offset, 0);
    TCentralHeader central;
    const TExtraInfo fromCentral = WalkExtraField(BuildSizeExtension(high, true), central);
    EXPECT_EQ(fromCentral.High.Compressed, high.Compressed);
    EXPECT_EQ(fromCentral.High.Uncompressed, high.Uncompressed);
    EXPECT_EQ(fromCentral.High.Offset, high.Offset);
}
