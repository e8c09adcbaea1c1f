// Stored item properties: names, run-time and loading writes, compression changes, events, persisted form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Exceptions.h"
#include "tests/storage/HostPeers.h"
#include "tests/storage/StorageFixtures.h"

using namespace storage;
using namespace fixtures;
using testutil::Bytes;

TEST(StoredItemNames, NewItemsTakeTheFirstFreeDefaultName) {
    TmxStorage storage(nullptr);
    TmxStoredItems& items = storage.StoredItems();
    items.Add();
    items.Add().SetName("MXSTOREDITEM3");
    items.Add();
    EXPECT_EQ("mxStoredItem1", items.Items(0).Name());
    EXPECT_EQ("MXSTOREDITEM3", items.Items(1).Name());
    EXPECT_EQ("mxStoredItem2", items.Items(2).Name());
    items.Delete(0);
    EXPECT_EQ("mxStoredItem1", items.Add().Name());
    EXPECT_EQ("mxStoredItem4", items.Add().Name());
}

TEST(StoredItemNames, DuplicateIgnoringCaseIsRefusedAndTheOldNameKept) {
    TmxStorage storage(nullptr);
    TmxStoredItem& first = storage.StoredItems().Add();
    TmxStoredItem& second = storage.StoredItems().Add();
    first.SetName("Canvas");
    try {
        second.SetName("cANVAS");
        FAIL() << "no error";
    } catch (const fw::Exception& e) {
        EXPECT_EQ("Duplicated stored item name", e.Message());
    }
    EXPECT_EQ("mxStoredItem2", second.Name());
    second.SetDisplayName("Other");
    EXPECT_EQ("Other", second.DisplayName());
}

TEST(StoredItemNames, RenameDifferingOnlyInCaseChangesNothing) {
    TmxStorage storage(nullptr);
    TmxStoredItem& item = storage.StoredItems().Add();
    item.SetName("mxstoreditem1");
    EXPECT_EQ("mxStoredItem1", item.Name());
}

TEST(StoredItemProperties, RunTimeWritesOfFileNameAndFileSizeChangeNothing) {
    TmxStorage storage(nullptr);
    TmxStoredItem& item = storage.StoredItems().Add();
    Load(item, Bytes(10, 0x41));
    item.SetFileName("WideCv.class");
    item.SetFileSize(388);
    EXPECT_EQ("", item.FileName());
    EXPECT_EQ(10, item.FileSize());
    {
        TLoading loading(storage);
        item.SetFileName("WideCv.class");
        item.SetFileSize(388);
    }
    EXPECT_EQ("WideCv.class", item.FileName());
    EXPECT_EQ(388, item.FileSize());
}

TEST(StoredItemProperties, StartWithTheirCreationValues) {
    TmxStorage storage(nullptr);
    const TmxStoredItem& item = storage.StoredItems().Add();
    EXPECT_EQ(clDefault, item.Compression());
    EXPECT_EQ(0, item.Tag());
    EXPECT_EQ("", item.FileName());
    EXPECT_EQ(0, item.FileSize());
    EXPECT_EQ(0, item.Size());
    EXPECT_EQ("100%", item.Ratio());
    EXPECT_FALSE(item.HasStoredItem());
}

TEST(StoredItemCompression, MaxToFastestKeepsTheOutputAndRecompressesAtLevelOne) {
    TmxStorage storage(nullptr);
    TmxStoredItem& item = storage.StoredItems().Add();
    item.SetCompression(clMax);
    const Bytes file = testutil::RandomBytes(3000, 11);
    Load(item, Concat(file, Bytes(3000, 0)));
    const Bytes before = Saved(item);
    ASSERT_EQ(0xDA, item.Data().Bytes().at(1));

    item.SetCompression(clFastest);
    EXPECT_EQ(0x01, item.Data().Bytes().at(1));
    EXPECT_EQ(Frame(before), hostpeers::Inflate(item.Data().Bytes()));
    EXPECT_EQ(before, Saved(item));
}

TEST(StoredItemCompression, ToAndFromRawKeepsTheOutput) {
    TmxStorage storage(nullptr);
    TmxStoredItem& item = storage.StoredItems().Add();
    const Bytes file = testutil::RandomBytes(500, 3);
    Load(item, file);
    item.SetCompression(clNone);
    EXPECT_EQ(file, item.Data().Bytes());
    item.SetCompression(clMax);
    EXPECT_EQ(Frame(file), hostpeers::Inflate(item.Data().Bytes()));
    EXPECT_EQ(file, Saved(item));
}

TEST(StoredItemCompression, WhileLoadingOnlyTheValueIsStored) {
    TmxStorage storage(nullptr);
    TmxStoredItem& item = storage.StoredItems().Add();
    Load(item, {1, 2, 3});
    const Bytes data = item.Data().Bytes();
    {
        TLoading loading(storage);
        item.SetCompression(clMax);
    }
    EXPECT_EQ(clMax, item.Compression());
    EXPECT_EQ(data, item.Data().Bytes());
}

TEST(StoredItemEvents, FireAroundLoadAndSaveWithTheirStreams) {
    TmxStorage storage(nullptr);
    std::vector<std::string> calls;
    TmxStoredItem& item = storage.StoredItems().Add(
        [&](fw::TObject* sender) { calls.push_back("create " + static_cast<TmxStoredItem*>(sender)->Name()); });
    fw::TMemoryStream source, target;
    Fill(source, {1, 2});
    item.OnBeforeLoad = [&](fw::TObject* sender, fw::TStream* stream) {
        calls.push_back(std::string("before load ") + (sender == &item && stream == &source ? "ok" : "wrong"));
    };
    item.OnAfterLoad = [&](fw::TObject*) { calls.push_back("after load " + std::to_string(item.FileSize())); };
    item.OnBeforeSave = [&](fw::TObject*, fw::TStream* stream) {
        calls.push_back(std::string("before save ") + (stream == &target ? "ok" : "wrong"));
    };
    item.OnAfterSave = [&](fw::TObject*) { calls.push_back("after save " + std::to_string(target.Size())); };
    item.LoadFromStream(source);
    item.SaveToStream(target);
    EXPECT_EQ((std::vector<std::string>{"create mxStoredItem1", "before load ok", "after load 2", "before save ok",
                                        "after save 2"}),
              calls);
}

TEST(StoredItemEvents, DestroyFiresAfterTheItemLeftItsCollection) {
    TmxStorage storage(nullptr);
    TmxStoredItem& item = storage.StoredItems().Add();
    storage.StoredItems().Add();
    int countSeen = -1;
    item.OnDestroy = [&](fw::TObject*) { countSeen = storage.StoredItems().Count(); };
    storage.StoredItems().Delete(0);
    EXPECT_EQ(1, countSeen);
    EXPECT_EQ("mxStoredItem2", storage.StoredItems().Items(0).Name());
}

TEST(StoredItemPersisted, WritesLengthAndDataAndReadsThemBack) {
    TmxStorage storage(nullptr);
    TmxStoredItem& item = storage.StoredItems().Add();
    Load(item, testutil::RandomBytes(100, 5));
    fw::TMemoryStream form;
    item.WriteStoredItem(form);
    EXPECT_EQ(Concat(LittleEndian32(item.Size()), item.Data().Bytes()), form.Bytes());

    TmxStoredItem& copy = storage.StoredItems().Add();
    form.SetPosition(0);
    copy.ReadStoredItem(form);
    EXPECT_EQ(item.Data().Bytes(), copy.Data().Bytes());
    EXPECT_EQ(form.Size(), form.Position());
}

TEST(StoredItemPersisted, DamagedLengthsFailAndLeaveTheItemEmpty) {
    const std::vector<Bytes> forms = {
        {0x05, 0x00},                                   // length field cut short
        Concat(LittleEndian32(10), {1, 2, 3}),          // fewer bytes than the length
        Concat(LittleEndian32(-1), {1, 2, 3}),          // negative length
        Concat(LittleEndian32(0x7FFFFFFF), {1, 2, 3}),  // a length no form holds
    };
    for (const Bytes& bytes : forms) {
        TmxStorage storage(nullptr);
        TmxStoredItem& item = storage.StoredItems().Add();
        Load(item, {1, 2, 3});
        fw::TMemoryStream form;
        Fill(form, bytes);
        try {
            item.ReadStoredItem(form);
            ADD_FAILURE() << "no error";
        } catch (const fw::EReadError& e) {
            EXPECT_EQ("Stream read error", e.Message());
        }
        EXPECT_EQ(0, item.Size());
    }
}
