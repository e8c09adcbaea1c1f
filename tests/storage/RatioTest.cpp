// Ratio texts: two decimals, the chosen decimal separator, "100%" for nothing stored.
#include <gtest/gtest.h>

#include <cstdlib>

#include "storage/LocaleText.h"
#include "tests/storage/StorageFixtures.h"

using namespace storage;

namespace {
struct TRatioCase {
    int32_t size, fullSize;
    char separator;
    const char* text;
};

const TRatioCase kRatios[] = {
    {294, 388, ',', "75,77%"},
    {294, 388, '.', "75.77%"},
    {0, 0, ',', "100%"},
    {5, 0, '.', "100%"},
    {388, 388, '.', "100.00%"},
    {1, 3, '.', "33.33%"},
    {2, 3, '.', "66.67%"},
    {0, 7, ',', "0,00%"},
    {1, 8000, '.', "0.01%"},
    {1, 40000, '.', "0.00%"},
    {-1, 3, '.', "-33.33%"},
    {900, 300, '.', "300.00%"},
    {2147483647, 1, '.', "214748364700.00%"},
};
}  // namespace

TEST(RatioText, FormatsPercentWithTwoDecimals) {
    for (const TRatioCase& c : kRatios)
        EXPECT_EQ(c.text, RatioText(c.size, c.fullSize, c.separator)) << c.size << "/" << c.fullSize;
}

TEST(RatioText, ItemsAndStorageUseTheProgramSeparator) {
    storage::TmxStorage storage(nullptr);
    storage::TmxStoredItem& item = storage.StoredItems().Add();
    item.SetCompression(clNone);
    fixtures::Load(item, testutil::Bytes(294, 1));
    {
        fixtures::TLoading loading(storage);
        item.SetFileSize(388);
    }
    for (const char separator : {',', '.'}) {
        fixtures::TSeparator scope(separator);
        EXPECT_EQ(std::string("75") + separator + "77%", item.Ratio());
        EXPECT_EQ(item.Ratio(), storage.Ratio());
    }
}

TEST(UserDecimalSeparator, IsASeparatorTheLocaleDefines) {
    const char user = UserDecimalSeparator();
    EXPECT_TRUE(user == '.' || user == ',') << user;
#ifndef _WIN32
    // POSIX: the environment chooses; the "C" locale's point is the reference.
    const char* saved = std::getenv("LC_ALL");
    const std::string keep = saved ? saved : "";
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ('.', UserDecimalSeparator());
    if (saved)
        setenv("LC_ALL", keep.c_str(), 1);
    else
        unsetenv("LC_ALL");
#endif
}

TEST(SameText, ComparesIgnoringCase) {
    EXPECT_TRUE(SameText("mxStoredItem1", "MXSTOREDITEM1"));
    EXPECT_TRUE(SameText("", ""));
    EXPECT_FALSE(SameText("mxStoredItem1", "mxStoredItem10"));
    EXPECT_FALSE(SameText("a", "b"));
}
