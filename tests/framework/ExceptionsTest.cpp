// The run-time I/O error's texts follow the platform error code.
#include <gtest/gtest.h>

#include "framework/Exceptions.h"
#include "platform/Platform.h"

namespace {

struct TCodeText {
    uint32_t code;
    const char* text;
};

TEST(InOutError, MessageFollowsThePlatformCode) {
    const TCodeText cases[] = {
        {2, "File not found"},
        {3, "Invalid filename"},
        {4, "Too many open files"},
        {5, "File access denied"},
        {100, "Read beyond end of file"},
        {101, "Disk full"},
        {106, "Invalid numeric input"},
        {32, "I/O error 32"},
        {112, "I/O error 112"},
        {0, "I/O error 0"},
    };
    for (const auto& c : cases) {
        const fw::EInOutError e(c.code);
        EXPECT_EQ(e.Message(), c.text) << c.code;
        EXPECT_STREQ(e.what(), c.text);
        EXPECT_EQ(e.ErrorCode(), c.code);
    }
}

TEST(InOutError, CheckRaisesWithTheLastErrorOnlyOnFailure) {
    EXPECT_NO_THROW(fw::InOutCheck(true));
    platform::SetLastError(5);
    try {
        fw::InOutCheck(false);
        FAIL() << "no exception";
    } catch (const fw::EInOutError& e) {
        EXPECT_EQ(e.ErrorCode(), 5u);
        EXPECT_EQ(e.Message(), "File access denied");
    }
}

}  // namespace
