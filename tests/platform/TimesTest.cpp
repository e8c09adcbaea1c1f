// File times: SYSTEMTIME and MS-DOS conversions, local time, and times written to and read from files.
#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "tests/TestUtil.h"

namespace {

using platform::TFileTime;
using platform::TSystemTime;

TFileTime FromSystem(const TSystemTime& st) {
    TFileTime ft;
    EXPECT_TRUE(platform::SystemTimeToFileTime(st, ft));
    return ft;
}

TEST(PlatformTimes, SystemTimeRoundTripsWithWeekday) {
    const TSystemTime cases[] = {
        {1601, 1, 1, 1, 0, 0, 0, 0},         // the epoch, a Monday
        {1980, 1, 2, 1, 0, 0, 0, 0},         // a Tuesday
        {2000, 2, 2, 29, 23, 59, 59, 999},   // leap day of a century leap year
        {2024, 12, 2, 31, 12, 30, 15, 250},  // a Tuesday
        {2107, 12, 6, 31, 23, 59, 58, 0},    // the last MS-DOS day, a Saturday
    };
    for (const auto& st : cases) {
        TSystemTime back;
        ASSERT_TRUE(platform::FileTimeToSystemTime(FromSystem(st), back));
        EXPECT_EQ(back, st) << st.Year << "-" << st.Month << "-" << st.Day;
    }
    EXPECT_EQ(FromSystem({1601, 1, 1, 1, 0, 0, 0, 0}).Value, 0u);
    EXPECT_EQ(FromSystem({1970, 1, 4, 1, 0, 0, 0, 0}).Value, 116444736000000000u);  // the Unix epoch
}

TEST(PlatformTimes, SystemTimeRejectsImpossibleDates) {
    const TSystemTime cases[] = {
        {2000, 13, 0, 1, 0, 0, 0, 0},   {2000, 0, 0, 1, 0, 0, 0, 0},   {2000, 1, 0, 0, 0, 0, 0, 0},
        {2000, 1, 0, 1, 24, 0, 0, 0},   {2000, 1, 0, 1, 0, 60, 0, 0},  {2000, 1, 0, 1, 0, 0, 60, 0},
        {2000, 1, 0, 1, 0, 0, 0, 1000}, {1600, 12, 0, 31, 0, 0, 0, 0},
    };
    for (const auto& st : cases) {
        TFileTime ft;
        EXPECT_FALSE(platform::SystemTimeToFileTime(st, ft)) << st.Year << "-" << st.Month << "-" << st.Day;
    }
}

// Windows refuses February 29 of a common year; Wine accepts it, so only our own layer is held to it.
TEST(PlatformTimes, SystemTimeRejectsLeapDayOfCommonYear) {
    if (testutil::UnderWine())
        GTEST_SKIP() << "Wine does not check the day against the month";
    TFileTime ft;
    EXPECT_FALSE(platform::SystemTimeToFileTime({2001, 2, 0, 29, 0, 0, 0, 0}, ft));
    EXPECT_FALSE(platform::SystemTimeToFileTime({1900, 2, 0, 29, 0, 0, 0, 0}, ft));  // a century without one
}

TEST(PlatformTimes, DosDateTimeRoundTripsAtTwoSecondSteps) {
    struct TCase {
        TSystemTime Time;
        uint16_t Date, Clock;
    };
    const TCase cases[] = {
        {{1980, 1, 0, 1, 0, 0, 0, 0}, 0x0021, 0x0000},
        {{2004, 6, 0, 15, 13, 45, 30, 0}, (24 << 9) | (6 << 5) | 15, (13 << 11) | (45 << 5) | 15},
        {{2107, 12, 0, 31, 23, 59, 58, 0}, (127 << 9) | (12 << 5) | 31, (23 << 11) | (59 << 5) | 29},
    };
    for (const auto& c : cases) {
        uint16_t date = 0, clock = 0;
        ASSERT_TRUE(platform::FileTimeToDosDateTime(FromSystem(c.Time), date, clock));
        EXPECT_EQ(date, c.Date);
        EXPECT_EQ(clock, c.Clock);
        TFileTime back;
        ASSERT_TRUE(platform::DosDateTimeToFileTime(date, clock, back));
        EXPECT_EQ(back, FromSystem(c.Time));
    }
}

TEST(PlatformTimes, DosTimeDropsOddSecondsAndFractions) {
    uint16_t date = 0, clock = 0;
    ASSERT_TRUE(platform::FileTimeToDosDateTime(FromSystem({2010, 3, 0, 7, 8, 9, 11, 700}), date, clock));
    TFileTime back;
    ASSERT_TRUE(platform::DosDateTimeToFileTime(date, clock, back));
    EXPECT_EQ(back, FromSystem({2010, 3, 0, 7, 8, 9, 10, 0}));
}

TEST(PlatformTimes, DosDateRefusesYearsOutsideItsRange) {
    uint16_t date = 0, clock = 0;
    EXPECT_FALSE(platform::FileTimeToDosDateTime(FromSystem({1979, 12, 0, 31, 23, 59, 59, 0}), date, clock));
    if (testutil::UnderWine())
        return;  // Wine wraps the 7-bit year instead of failing
    EXPECT_FALSE(platform::FileTimeToDosDateTime(FromSystem({2108, 1, 0, 1, 0, 0, 0, 0}), date, clock));
}

TEST(PlatformTimes, LocalTimeRoundTrips) {
    const TFileTime now = platform::CurrentFileTime();
    TFileTime local, back;
    ASSERT_TRUE(platform::FileTimeToLocalFileTime(now, local));
    ASSERT_TRUE(platform::LocalFileTimeToFileTime(local, back));
    EXPECT_EQ(back, now);
    TSystemTime st;
    platform::GetLocalTime(st);
    EXPECT_GE(st.Year, 2020);
}

TEST(PlatformTimes, WriteAndAccessTimesSetOnFileAreListed) {
    testutil::TTempDir dir;
    const std::string file = dir / "t.bin";
    testutil::WriteFile(file, "abc");
    const TFileTime write = FromSystem({2004, 6, 0, 15, 13, 45, 30, 0});
    const TFileTime access = FromSystem({2005, 7, 0, 16, 10, 0, 0, 0});
    ASSERT_TRUE(platform::SetFileTimes(file, nullptr, &access, &write));
    platform::TFindHandle find;
    platform::TFindData data;
    ASSERT_TRUE(find.First(file, data));
    EXPECT_EQ(data.LastWriteTime, write);
    EXPECT_EQ(data.LastAccessTime, access);
    uint16_t date = 0, clock = 0;
    ASSERT_TRUE(platform::FileTimeToDosDateTime(data.LastWriteTime, date, clock));
    TFileTime back;
    ASSERT_TRUE(platform::DosDateTimeToFileTime(date, clock, back));
    EXPECT_EQ(back, write);
}

TEST(PlatformTimes, HandleTimesFollowTheFile) {
    testutil::TTempDir dir;
    const std::string file = dir / "h.bin";
    const platform::THandle h = platform::FileCreate(file);
    ASSERT_NE(h, platform::kInvalidHandle);
    const TFileTime write = FromSystem({2012, 1, 0, 2, 3, 4, 6, 0});
    EXPECT_TRUE(platform::SetFileTimes(h, nullptr, nullptr, &write));
    TFileTime got;
    EXPECT_TRUE(platform::GetFileTimes(h, nullptr, nullptr, &got));
    EXPECT_EQ(got, write);
    EXPECT_TRUE(platform::FileClose(h));
    EXPECT_FALSE(platform::SetFileTimes(dir / "none", nullptr, nullptr, &write));
    EXPECT_EQ(platform::LastError(), platform::kErrorFileNotFound);
}

// The tick counts milliseconds; under Wine it can lag a sleep by a tick period or two, hence the margin.
TEST(PlatformTimes, TickCountAdvancesAcrossSleep) {
    const uint32_t start = platform::GetTickCount();
    platform::Sleep(100);
    EXPECT_GE(platform::GetTickCount() - start, 50u);
}

}  // namespace
