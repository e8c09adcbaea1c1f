// File-time conversions, the current time and the clock over the Win32 API.
#include "platform/win32/Win.h"

namespace platform {

using win32::FromFiletime;
using win32::ToFiletime;

namespace {
SYSTEMTIME ToSystemtime(const TSystemTime& st) {
    SYSTEMTIME out;
    out.wYear = st.Year;
    out.wMonth = st.Month;
    out.wDayOfWeek = st.DayOfWeek;
    out.wDay = st.Day;
    out.wHour = st.Hour;
    out.wMinute = st.Minute;
    out.wSecond = st.Second;
    out.wMilliseconds = st.Milliseconds;
    return out;
}

TSystemTime FromSystemtime(const SYSTEMTIME& st) {
    return TSystemTime{st.wYear, st.wMonth, st.wDayOfWeek, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}
}  // namespace

bool FileTimeToLocalFileTime(const TFileTime& utc, TFileTime& local) {
    const FILETIME in = ToFiletime(utc);
    FILETIME out;
    if (!::FileTimeToLocalFileTime(&in, &out))
        return false;
    local = FromFiletime(out);
    return true;
}

bool LocalFileTimeToFileTime(const TFileTime& local, TFileTime& utc) {
    const FILETIME in = ToFiletime(local);
    FILETIME out;
    if (!::LocalFileTimeToFileTime(&in, &out))
        return false;
    utc = FromFiletime(out);
    return true;
}

bool FileTimeToSystemTime(const TFileTime& ft, TSystemTime& st) {
    const FILETIME in = ToFiletime(ft);
    SYSTEMTIME out;
    if (!::FileTimeToSystemTime(&in, &out))
        return false;
    st = FromSystemtime(out);
    return true;
}

bool SystemTimeToFileTime(const TSystemTime& st, TFileTime& ft) {
    const SYSTEMTIME in = ToSystemtime(st);
    FILETIME out;
    if (!::SystemTimeToFileTime(&in, &out))
        return false;
    ft = FromFiletime(out);
    return true;
}

bool FileTimeToDosDateTime(const TFileTime& ft, uint16_t& dosDate, uint16_t& dosTime) {
    const FILETIME in = ToFiletime(ft);
    WORD date, time;
    if (!::FileTimeToDosDateTime(&in, &date, &time))
        return false;
    dosDate = date;
    dosTime = time;
    return true;
}

bool DosDateTimeToFileTime(uint16_t dosDate, uint16_t dosTime, TFileTime& ft) {
    FILETIME out;
    if (!::DosDateTimeToFileTime(dosDate, dosTime, &out))
        return false;
    ft = FromFiletime(out);
    return true;
}

TFileTime CurrentFileTime() {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    return FromFiletime(now);
}

void GetLocalTime(TSystemTime& st) {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    st = FromSystemtime(now);
}

uint32_t GetTickCount() {
    return ::GetTickCount();
}

void Sleep(uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

}  // namespace platform
