// Ratio texts: two decimals, the chosen decimal separator, "100%" for nothing stored.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "storage/LocaleText.h"
#include "tests/storage/StorageFixtures.h"

using namespace storage;

namespace {
#ifndef _WIN32
// Sets an environment variable for the scope and puts the old value back.
class TEnvironment {
public:
    TEnvironment(const char* name, const char* value) : FName(name), FHad(std::getenv(name) != nullptr) {
        if (FHad)
            FSaved = std::getenv(name);
        setenv(name, value, 1);
    }
    ~TEnvironment() {
        if (FHad)
            setenv(FName, FSaved.c_str(), 1);
        else
            unsetenv(FName);
    }
    TEnvironment(const TEnvironment&) = delete;
    TEnvironment& operator=(const TEnvironment&) = delete;

private:
    const char* FName;
    bool FHad;
    std::string FSaved;
};
#endif

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
    TEnvironment c("LC_ALL", "C");
    EXPECT_EQ('.', UserDecimalSeparator());
#endif
}

TEST(SameText, ComparesIgnoringCase) {
    EXPECT_TRUE(SameLocaleText("mxStoredItem1", "MXSTOREDITEM1"));
    EXPECT_TRUE(SameLocaleText("", ""));
    EXPECT_FALSE(SameLocaleText("mxStoredItem1", "mxStoredItem10"));
    EXPECT_FALSE(SameLocaleText("a", "b"));
}

TEST(SameText, FoldsLettersBeyondAscii) {
#ifdef _WIN32
    // 0xC4 and 0xE4 are one letter's two cases in the Windows ANSI code pages (1251 and 1252 alike).
    EXPECT_TRUE(SameLocaleText("\xC4", "\xE4"));
#else
    TEnvironment utf8("LC_ALL", "C.UTF-8");
    EXPECT_TRUE(SameLocaleText("\xC3\x84x", "\xC3\xA4X"));  // "Äx" and "äX"
    EXPECT_FALSE(SameLocaleText("\xC3\x84", "\xC3\xA5"));   // "Ä" and "å"
#endif
}
