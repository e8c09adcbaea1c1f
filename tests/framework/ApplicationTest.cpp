// The default error display's text and where exceptions from handlers end.
#include <gtest/gtest.h>

#include <stdexcept>

#include "framework/Application.h"
#include "framework/Exceptions.h"

namespace {

TEST(DefaultErrorDisplay, AppendsAFullStopOnlyAfterCharactersSortingAfterIt) {
    EXPECT_EQ(fw::FormatErrorMessage("File not found"), "File not found.");
    EXPECT_EQ(fw::FormatErrorMessage("I/O error 32"), "I/O error 32.");
    EXPECT_EQ(fw::FormatErrorMessage("Done."), "Done.");
    EXPECT_EQ(fw::FormatErrorMessage("Unable to write to x (y)"), "Unable to write to x (y)");
    EXPECT_EQ(fw::FormatErrorMessage("Stop!"), "Stop!");
    EXPECT_EQ(fw::FormatErrorMessage("a-"), "a-");
    EXPECT_EQ(fw::FormatErrorMessage("a/"), "a/.");
    EXPECT_EQ(fw::FormatErrorMessage(""), "");
    // A Windows-1251 letter is a high byte: it sorts after "." too.
    EXPECT_EQ(fw::FormatErrorMessage("\xCE\xF8\xE8\xE1\xEA\xE0"), "\xCE\xF8\xE8\xE1\xEA\xE0.");
}

TEST(DefaultErrorDisplay, GuardedCallHandsTheErrorToTheApplicationAndGoesOn) {
    std::string seen;
    fw::Application().OnException = [&](fw::TObject*, const std::exception& e) { seen = e.what(); };
    bool after = false;
    fw::GuardedCall([] { throw fw::EInOutError(2); });
    after = true;
    EXPECT_EQ(seen, "File not found");
    EXPECT_TRUE(after);
    fw::Application().OnException = nullptr;
}

}  // namespace
