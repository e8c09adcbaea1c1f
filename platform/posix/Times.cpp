// FILETIME, SYSTEMTIME, local time and MS-DOS date/time conversions computed in our own code.
#include <fcntl.h>

#include <cerrno>

#include "platform/posix/Posix.h"

namespace platform {

namespace {
constexpr uint64_t kTicksPerSecond = 10000000;  // FILETIME counts 100-nanosecond intervals
constexpr uint64_t kTicksPerMillisecond = 10000;
constexpr int64_t kSecondsPerDay = 86400;
constexpr int64_t kDays1601To1970 = 134774;               // days between the FILETIME and the Unix epochs
constexpr uint64_t kMaxFileTime = 0x7FFFFFFFFFFFFFFFull;  // larger values are rejected by the system
constexpr int kDosEpochYear = 1980;                       // MS-DOS dates count years from 1980 in 7 bits
constexpr int kDosLastYear = 2107;
constexpr int kLastYear = 30827;  // the last year a SYSTEMTIME may hold

// Days since 1970-01-01 of a proleptic Gregorian date (Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& y, unsigned& m, unsigned& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

unsigned DaysInMonth(int y, unsigned m) {
    static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// The offset of local time from UTC now, in FILETIME ticks; the system applies today's offset to any time.
int64_t CurrentBias() {
    time_t now = ::time(nullptr);
    struct tm local {};
    ::localtime_r(&now, &local);
    return static_cast<int64_t>(local.tm_gmtoff) * static_cast<int64_t>(kTicksPerSecond);
}

bool Shift(const TFileTime& in, int64_t delta, TFileTime& out) {
    const int64_t value = static_cast<int64_t>(in.Value) + delta;
    if (in.Value > kMaxFileTime || value < 0)
        return posix::FailWith(kErrorInvalidParameter);
    out.Value = static_cast<uint64_t>(value);
    return true;
}
}  // namespace

namespace posix {

TFileTime FromTimespec(const timespec& ts) {
    const int64_t seconds = static_cast<int64_t>(ts.tv_sec) + kDays1601To1970 * kSecondsPerDay;
    if (seconds < 0)
        return TFileTime{};
    return TFileTime{static_cast<uint64_t>(seconds) * kTicksPerSecond + static_cast<uint64_t>(ts.tv_nsec) / 100};
}

timespec ToTimespec(const TFileTime& ft) {
    timespec ts{};
    ts.tv_sec =
        static_cast<time_t>(static_cast<int64_t>(ft.Value / kTicksPerSecond) - kDays1601To1970 * kSecondsPerDay);
    ts.tv_nsec = static_cast<long>(ft.Value % kTicksPerSecond * 100);
    return ts;
}

}  // namespace posix

bool FileTimeToLocalFileTime(const TFileTime& utc, TFileTime& local) {
    return Shift(utc, CurrentBias(), local);
}

bool LocalFileTimeToFileTime(const TFileTime& local, TFileTime& utc) {
    return Shift(local, -CurrentBias(), utc);
}

bool FileTimeToSystemTime(const TFileTime& ft, TSystemTime& st) {
    if (ft.Value > kMaxFileTime)
        return posix::FailWith(kErrorInvalidParameter);
    const uint64_t seconds = ft.Value / kTicksPerSecond;
    const int64_t days = static_cast<int64_t>(seconds / kSecondsPerDay);
    const uint64_t secondOfDay = seconds % kSecondsPerDay;
    int year;
    unsigned month, day;
    CivilFromDays(days - kDays1601To1970, year, month, day);
    st.Year = static_cast<uint16_t>(year);
    st.Month = static_cast<uint16_t>(month);
    st.Day = static_cast<uint16_t>(day);
    st.DayOfWeek = static_cast<uint16_t>((days + 1) % 7);  // 1601-01-01 was a Monday; Sunday is 0
    st.Hour = static_cast<uint16_t>(secondOfDay / 3600);
    st.Minute = static_cast<uint16_t>(secondOfDay / 60 % 60);
    st.Second = static_cast<uint16_t>(secondOfDay % 60);
    st.Milliseconds = static_cast<uint16_t>(ft.Value % kTicksPerSecond / kTicksPerMillisecond);
    return true;
}

bool SystemTimeToFileTime(const TSystemTime& st, TFileTime& ft) {
    if (st.Year < 1601 || st.Year > kLastYear || st.Month < 1 || st.Month > 12 || st.Day < 1 ||
        st.Day > DaysInMonth(st.Year, st.Month) || st.Hour > 23 || st.Minute > 59 || st.Second > 59 ||
        st.Milliseconds > 999)
        return posix::FailWith(kErrorInvalidParameter);
    const int64_t days = DaysFromCivil(st.Year, st.Month, st.Day) + kDays1601To1970;
    const uint64_t seconds =
        static_cast<uint64_t>(days) * kSecondsPerDay + st.Hour * 3600u + st.Minute * 60u + st.Second;
    ft.Value = seconds * kTicksPerSecond + st.Milliseconds * kTicksPerMillisecond;
    return true;
}

bool FileTimeToDosDateTime(const TFileTime& ft, uint16_t& dosDate, uint16_t& dosTime) {
    TSystemTime st;
    if (!FileTimeToSystemTime(ft, st))
        return false;
    if (st.Year < kDosEpochYear || st.Year > kDosLastYear)
        return posix::FailWith(kErrorInvalidParameter);
    dosDate = static_cast<uint16_t>((st.Year - kDosEpochYear) << 9 | st.Month << 5 | st.Day);
    dosTime = static_cast<uint16_t>(st.Hour << 11 | st.Minute << 5 | st.Second / 2);
    return true;
}

bool DosDateTimeToFileTime(uint16_t dosDate, uint16_t dosTime, TFileTime& ft) {
    TSystemTime st;
    st.Year = static_cast<uint16_t>(kDosEpochYear + (dosDate >> 9));
    st.Month = (dosDate >> 5) & 0x0F;
    st.Day = dosDate & 0x1F;
    st.Hour = dosTime >> 11;
    st.Minute = (dosTime >> 5) & 0x3F;
    st.Second = static_cast<uint16_t>((dosTime & 0x1F) * 2);
    return SystemTimeToFileTime(st, ft);
}

TFileTime CurrentFileTime() {
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return posix::FromTimespec(ts);
}

void GetLocalTime(TSystemTime& st) {
    TFileTime local;
    FileTimeToLocalFileTime(CurrentFileTime(), local);
    FileTimeToSystemTime(local, st);
}

}  // namespace platform
