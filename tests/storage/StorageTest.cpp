// The storage component: version, totals over its items, item lookup and copying a collection.
#include <gtest/gtest.h>

#include "tests/storage/StorageFixtures.h"

using namespace storage;
using namespace fixtures;
using testutil::Bytes;

TEST(Storage, WithoutItemsReadsZeroSizesAndHundredPercent) {
    TmxStorage storage(nullptr);
    EXPECT_EQ("1.1", storage.Version());
    EXPECT_EQ(0, storage.Size());
    EXPECT_EQ(0, storage.OriginalSize());
    EXPECT_EQ("100%", storage.Ratio());
    EXPECT_EQ(nullptr, storage.GetStoredItem(0));
}

TEST(Storage, SumsTheItemsSizes) {
    TSeparator point('.');
    TmxStorage storage(nullptr);
    TmxStoredItem& raw = storage.StoredItems().Add();
    raw.SetCompression(clNone);
    Load(raw, Bytes(300, 1));
    {
        TLoading loading(storage);
        raw.SetFileSize(400);
    }
    TmxStoredItem& packed = storage.StoredItems().Add();
    Load(packed, Bytes(1000, 0));
    EXPECT_EQ(1400, storage.OriginalSize());
    EXPECT_EQ(300 + packed.Size(), storage.Size());
    EXPECT_EQ(RatioText(300 + packed.Size(), 1400, '.'), storage.Ratio());
    EXPECT_EQ("75.00%", raw.Ratio());
}

TEST(Storage, GetStoredItemAnswersNullOutsideTheList) {
    TmxStorage storage(nullptr);
    TmxStoredItem& item = storage.StoredItems().Add();
    EXPECT_EQ(&item, storage.GetStoredItem(0));
    EXPECT_EQ(nullptr, storage.GetStoredItem(1));
    EXPECT_EQ(nullptr, storage.GetStoredItem(-1));
}

TEST(Storage, AssigningItemsCopiesEverySettingAndTheData) {
    TmxStorage source(nullptr);
    TmxStoredItem& second = source.StoredItems().Add();
    TmxStoredItem& first = source.StoredItems().Add();
    // Swapped default names: each copy is born with a default name the other one carries.
    first.SetName("swap");
    second.SetName("mxStoredItem2");
    first.SetName("mxStoredItem1");
    {
        TLoading loading(source);
        first.SetCompression(clNone);
        first.SetFileName("a.bin");
        first.SetFileSize(77);
    }
    first.SetTag(42);
    Load(first, {1, 2, 3});
    Load(second, {4, 5});

    TmxStorage target(nullptr);
    target.StoredItems().Add().SetName("stale");
    target.SetStoredItems(source.StoredItems());
    ASSERT_EQ(2, target.StoredItems().Count());
    const TmxStoredItem& copy = target.StoredItems().Items(1);
    EXPECT_EQ("mxStoredItem1", copy.Name());
    EXPECT_EQ("mxStoredItem2", target.StoredItems().Items(0).Name());
    EXPECT_EQ(clNone, copy.Compression());
    EXPECT_EQ(42, copy.Tag());
    EXPECT_EQ("a.bin", copy.FileName());
    EXPECT_EQ(77, copy.FileSize());
    EXPECT_EQ(first.Data().Bytes(), copy.Data().Bytes());
    EXPECT_EQ((Bytes{4, 5}), Saved(target.StoredItems().Items(0)));
}

TEST(Storage, OwnsItsItemsAndKnowsItsOwner) {
    fw::TComponent form(nullptr);
    TmxStorage storage(&form);
    EXPECT_EQ(&form, storage.Owner());
    EXPECT_EQ(&storage, &storage.StoredItems().Owner());
    TmxStoredItem& item = storage.StoredItems().Add();
    EXPECT_EQ(0, item.Index());
    storage.StoredItems().Clear();
    EXPECT_EQ(0, storage.StoredItems().Count());
}
