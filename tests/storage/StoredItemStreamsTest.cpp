// Stored items moving file bytes in and out: zlib frames checked by Python, raw items, files, damaged data.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "framework/Exceptions.h"
#include "platform/Platform.h"
#include "storage/ZlibStreams.h"
#include "tests/storage/HostPeers.h"
#include "tests/storage/StorageFixtures.h"

using namespace storage;
using namespace fixtures;
using testutil::Bytes;

namespace {

// Text and noise, long enough to cross the 32 KiB buffers several times.
Bytes MixedContent(size_t size) {
    Bytes data = testutil::RandomBytes(size, 7);
    for (size_t i = 0; i < size; ++i)
        if ((i / 1000) % 2 == 0)
            data[i] = static_cast<uint8_t>("class WideCv extends Canvas "[i % 28]);
    return data;
}

struct TLevelCase {
    TCompressionLevel level;
    uint8_t headerLevelByte;  // the second zlib header byte tells the level class the writer used
};

class StoredItemLevels : public testing::TestWithParam<TLevelCase> {};

}  // namespace

TEST_P(StoredItemLevels, CompressesTheFrameThatPythonInflatesBack) {
    for (const size_t size : {size_t{388}, size_t{100000}}) {
        TmxStorage storage(nullptr);
        TmxStoredItem& item = storage.StoredItems().Add();
        item.SetCompression(GetParam().level);
        const Bytes file = MixedContent(size);
        Load(item, file);

        const Bytes& data = item.Data().Bytes();
        ASSERT_GE(data.size(), 2u);
        EXPECT_EQ(0x78, data[0]);
        EXPECT_EQ(GetParam().headerLevelByte, data[1]);
        EXPECT_EQ(Frame(file), hostpeers::Inflate(data)) << size;
        EXPECT_EQ(static_cast<int32_t>(data.size()), item.Size());
        EXPECT_EQ(static_cast<int32_t>(size), item.FileSize());
        EXPECT_EQ(file, Saved(item));
    }
}

INSTANTIATE_TEST_SUITE_P(EveryZlibLevel,
                         StoredItemLevels,
                         testing::Values(TLevelCase{clFastest, 0x01},
                                         TLevelCase{clDefault, 0x9C},
                                         TLevelCase{clMax, 0xDA}),
                         [](const testing::TestParamInfo<TLevelCase>& info) {
                             return std::string(info.param.level == clFastest   ? "Fastest"
                                                : info.param.level == clDefault ? "Default"
                                                                                : "Max");
                         });

TEST(StoredItemSave, WritesWhatPythonCompressedAtTheStreamPosition) {
    TmxStorage storage(nullptr);
    TmxStoredItem& item = storage.StoredItems().Add();
    const Bytes file = MixedContent(70000);
    SetStoredData(item, hostpeers::Deflate(Frame(file)));

    fw::TMemoryStream target;
    Fill(target, {1, 2, 3});
    target.Seek(0, fw::soEnd);
    item.SaveToStream(target);
    EXPECT_EQ(Concat({1, 2, 3}, file), target.Bytes());
}

TEST(StoredItemSave, ZeroLengthFrameWritesNothing) {
    TmxStorage storage(nullptr);
    TmxStoredItem& item = storage.StoredItems().Add();
    SetStoredData(item, hostpeers::Deflate(LittleEndian32(0)));
    EXPECT_TRUE(Saved(item).empty());
}

TEST(StoredItemSave, IgnoresBytesAfterTheFramedLength) {
    TmxStorage storage(nullptr);
    TmxStoredItem& item = storage.StoredItems().Add();
    SetStoredData(item, hostpeers::Deflate(Concat(LittleEndian32(2), {9, 8, 7, 6})));
    EXPECT_EQ((Bytes{9, 8}), Saved(item));
}

TEST(StoredItemSave, EmptyItemWritesAnEmptyFile) {
    testutil::TTempDir dir;
    TmxStorage storage(nullptr);
    TmxStoredItem& item = storage.StoredItems().Add();
    const std::string path = dir / "empty.bin";
    testutil::WriteFile(path, Bytes{1, 2, 3});  // truncated by the save
    item.SaveToFile(path);
    EXPECT_TRUE(testutil::ReadFile(path).empty());
}

TEST(StoredItemSave, FileThatCannotBeCreatedNamesItsFullPath) {
    testutil::TTempDir dir;
    TmxStorage storage(nullptr);
    TmxStoredItem& item = storage.StoredItems().Add();
    Load(item, {1, 2, 3});
    const std::string path = dir / "missing/x.class";
    try {
        item.SaveToFile(path);
        FAIL() << "no error";
    } catch (const fw::EFCreateError& e) {
        const std::string prefix = "Cannot create file \"" + platform::ExpandFileName(path) + "\". ";
        EXPECT_EQ(prefix, e.Message().substr(0, prefix.size()));
        EXPECT_GT(e.Message().size(), prefix.size());  // the platform's text follows
    }
    EXPECT_FALSE(testutil::Exists(path));
}

TEST(StoredItemRaw, KeepsTheBytesUnchangedAndTheFileSize) {
    TmxStorage storage(nullptr);
    TmxStoredItem& item = storage.StoredItems().Add();
    item.SetCompression(clNone);
    const Bytes file = MixedContent(40000);
    Load(item, file);
    EXPECT_EQ(file, item.Data().Bytes());
    EXPECT_EQ(40000, item.Size());
    EXPECT_EQ(0, item.FileSize());
    EXPECT_EQ(file, Saved(item));
}

TEST(StoredItemLoad, EmptySourceEmptiesTheItemAndKeepsTheFileSize) {
    TmxStorage storage(nullptr);
    TmxStoredItem& item = storage.StoredItems().Add();
    Load(item, {1, 2, 3, 4, 5});
    ASSERT_EQ(5, item.FileSize());
    Load(item, {});
    EXPECT_EQ(0, item.Size());
    EXPECT_EQ(5, item.FileSize());
    EXPECT_TRUE(Saved(item).empty());
}

TEST(StoredItemLoad, TakesTheWholeSourceWhateverItsPosition) {
    TmxStorage storage(nullptr);
    TmxStoredItem& item = storage.StoredItems().Add();
    fw::TMemoryStream source;
    Fill(source, {4, 5, 6});
    source.Seek(0, fw::soEnd);
    item.LoadFromStream(source);
    EXPECT_EQ((Bytes{4, 5, 6}), Saved(item));
}

namespace {
// Claims a size past what a signed 32-bit length holds, without holding the bytes.
class THugeStream : public fw::TStream {
public:
    int32_t Read(void*, int32_t) override { return 0; }
    int32_t Write(const void*, int32_t) override { return 0; }
    int64_t Seek(int64_t, fw::TSeekOrigin) override { return 0; }
    int64_t Size() override { return int64_t{std::numeric_limits<int32_t>::max()} + 1; }
    void SetSize(int64_t) override {}
};

// Claims six bytes but delivers three, as a file cut short behind the stream's back.
class TShortStream : public fw::TStream {
public:
    int32_t Read(void* buffer, int32_t count) override {
        const int32_t n = std::min<int32_t>(count, static_cast<int32_t>(3 - FPosition));
        if (n <= 0)
            return 0;
        std::fill_n(static_cast<uint8_t*>(buffer), n, uint8_t{0x55});
        FPosition += n;
        return n;
    }
    int32_t Write(const void*, int32_t) override { return 0; }
    int64_t Seek(int64_t offset, fw::TSeekOrigin origin) override {
        return FPosition = origin == fw::soBeginning ? offset : origin == fw::soEnd ? 6 + offset : FPosition + offset;
    }
    void SetSize(int64_t) override {}

private:
    int64_t FPosition = 0;
};
}  // namespace

TEST(StoredItemLoad, RefusesASourceTooLargeForTheLengthAndKeepsTheContent) {
    TmxStorage storage(nullptr);
    TmxStoredItem& item = storage.StoredItems().Add();
    Load(item, {1, 2, 3});
    THugeStream huge;
    EXPECT_THROW(item.LoadFromStream(huge), fw::Exception);
    EXPECT_EQ((Bytes{1, 2, 3}), Saved(item));
}

TEST(StoredItemLoad, SourceEndingEarlyLeavesTheItemEmpty) {
    TmxStorage storage(nullptr);
    TmxStoredItem& item = storage.StoredItems().Add();
    TShortStream source;
    EXPECT_THROW(item.LoadFromStream(source), fw::EReadError);
    EXPECT_EQ(0, item.Size());
}

namespace {
struct THostileCase {
    const char* name;
    Bytes (*data)();
    const char* message;
};

const Bytes& ValidData() {
    static const Bytes data = hostpeers::Deflate(Frame(MixedContent(5000)));
    return data;
}

const THostileCase kHostile[] = {
    {"bad_header_check",
     [] {
         return Bytes{0x78, 0xDB, 0x01, 0x02, 0x03};
     },
     "Error"},
    {"reserved_block_type",
     [] {
         Bytes d = ValidData();
         d[2] = 0x07;  // BFINAL with block type 3
         return d;
     },
     "Error"},
    {"stream_cut_in_half",
     [] {
         const Bytes& d = ValidData();
         return Bytes(d.begin(), d.begin() + static_cast<std::ptrdiff_t>(d.size() / 2));
     },
     "Stream read error"},
    {"frame_longer_than_content",
     [] {
         return hostpeers::Deflate(Concat(LittleEndian32(1000), {1, 2}));
     },
     "Stream read error"},
    {"negative_frame_length",
     [] {
         return hostpeers::Deflate(Concat(LittleEndian32(-5), {1, 2}));
     },
     "Stream read error"},
    {"frame_shorter_than_its_length_field",
     [] {
         return hostpeers::Deflate({1, 2});
     },
     "Stream read error"},
};
}  // namespace

TEST(StoredItemDamaged, EachFaultGetsItsMessage) {
    for (const THostileCase& c : kHostile) {
        TmxStorage storage(nullptr);
        TmxStoredItem& item = storage.StoredItems().Add();
        SetStoredData(item, c.data());
        try {
            Saved(item);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const fw::Exception& e) {
            EXPECT_EQ(c.message, e.Message()) << c.name;
        }
    }
}

// A cut inside the trailer may still leave every framed byte readable; any other cut must fail.
TEST(StoredItemDamaged, EveryTruncationFailsOrStillGivesTheWholeFile) {
    const Bytes data = ValidData();
    const Bytes file = hostpeers::Inflate(data);
    for (size_t cut = 1; cut < data.size(); ++cut) {
        TmxStorage storage(nullptr);
        TmxStoredItem& item = storage.StoredItems().Add();
        SetStoredData(item, Bytes(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(cut)));
        try {
            EXPECT_EQ(Bytes(file.begin() + 4, file.end()), Saved(item)) << cut;
            EXPECT_GT(cut, data.size() / 2) << cut;
        } catch (const fw::Exception& e) {
            EXPECT_TRUE(e.Message() == "Error" || e.Message() == "Stream read error") << cut << e.Message();
        }
    }
}

TEST(ZlibReader, GivesTheSameBytesInAnyReadSize) {
    const Bytes file = MixedContent(70000);
    fw::TMemoryStream source;
    Fill(source, hostpeers::Deflate(file));
    for (const int32_t piece : {1, 31, 32 * 1024}) {
        source.SetPosition(0);
        TZlibReader reader(source);
        Bytes out;
        Bytes buffer(static_cast<size_t>(piece));
        int32_t n = 0;
        while ((n = reader.Read(buffer.data(), piece)) > 0)
            out.insert(out.end(), buffer.begin(), buffer.begin() + n);
        EXPECT_EQ(file, out) << piece;
    }
}

TEST(ZlibWriter, TakesInputInAnyPieceSize) {
    const Bytes file = MixedContent(70000);
    for (const size_t piece : {size_t{1}, size_t{31}, size_t{32 * 1024}}) {
        fw::TMemoryStream dest;
        TZlibWriter writer(dest, 6);
        for (size_t at = 0; at < file.size(); at += piece)
            writer.WriteBuffer(file.data() + at, static_cast<int64_t>(std::min(piece, file.size() - at)));
        writer.Finish();
        EXPECT_EQ(file, hostpeers::Inflate(dest.Bytes())) << piece;
    }
}
