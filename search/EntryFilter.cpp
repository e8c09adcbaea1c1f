// The attribute, date, size, exclusion and name tests of the walker.
#include "search/EntryFilter.h"

#include <algorithm>
#include <cmath>

#include "search/Masks.h"

namespace search {

namespace {

// Days from 1 March of year 0 (proleptic Gregorian) to the given date; months counted from March so the
// leap day falls last.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
    year -= month <= 2 ? 1 : 0;
    const int64_t era = year / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    return era * 146097 + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
}

bool IsLeapYear(unsigned year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

unsigned DaysInMonth(unsigned year, unsigned month) {
    static constexpr unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// TDateTime counts from 30 December 1899.
const int64_t kDateTimeEpoch = DaysFromCivil(1899, 12, 30);

// The whole day of a local time, or nothing when the time could not be converted.
std::optional<TDateTime> DayOf(const platform::TSystemTime& time) {
    return TryEncodeDate(time.Year, time.Month, time.Day);
}

bool DayPasses(const TDateFilter& filter, const std::optional<TDateTime>& day) {
    if (!day)
        return false;
    const TDateTime first = std::trunc(filter.FirstDate);
    switch (filter.Kind) {
        case dfkBetween:
            return first <= *day && *day <= std::trunc(filter.SecondDate);
        case dfkBefore:
            return *day < first;
        case dfkAfter:
            return *day > first;
        case dfkSame:
            return *day == first;
    }
    return false;
}

bool PassesDate(const TDateFilter& filter, const TFileInformations& entry) {
    const bool created = DayPasses(filter, DayOf(entry.CreationTime));
    const bool modified = DayPasses(filter, DayOf(entry.LastWriteTime));
    const bool opened = DayPasses(filter, DayOf(entry.LastAccessTime));
    switch (filter.AccessKind) {
        case dfakCreatedFiles:
            return created;
        case dfakModifiedFiles:
            return modified;
        case dfakOpenedFiles:
            return opened;
        case dfakAnyFiles:
            return created || modified || opened;
    }
    return false;
}

bool PassesSize(const TSizeFilter& filter, int32_t size) {
    return filter.Kind == sfkSmallerOrEqualTo ? size <= filter.Size : size >= filter.Size;
}

bool PassesAttributes(const TSearchSettings& settings, uint32_t attr) {
    uint32_t wanted = 0;
    if (settings.LookForReadOnlyFile)
        wanted |= platform::faReadOnly;
    if (settings.LookForHiddenFile)
        wanted |= platform::faHidden;
    if (settings.LookForSystemFile)
        wanted |= platform::faSysFile;
    if (settings.LookForDirectory)
        wanted |= platform::faDirectory;
    if (settings.LookForArchiveFile)
        wanted |= platform::faArchive;
    const bool isDirectory = (attr & platform::faDirectory) != 0;
    return (attr & wanted) != 0 || (settings.LookForAnyFile && !isDirectory);
}

// A directory also passes when the list holds "*.*" itself, whatever its name.
bool PassesName(const std::vector<std::string>& masks, const std::string& name, bool isDirectory) {
    if (MatchesAny(masks, name))
        return true;
    return isDirectory && std::find(masks.begin(), masks.end(), "*.*") != masks.end();
}

}  // namespace

std::optional<TDateTime> TryEncodeDate(uint16_t year, uint16_t month, uint16_t day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return std::nullopt;
    return static_cast<TDateTime>(DaysFromCivil(year, month, day) - kDateTimeEpoch);
}

TDateTime Date() {
    platform::TSystemTime now;
    platform::GetLocalTime(now);
    return TryEncodeDate(now.Year, now.Month, now.Day).value_or(0);
}

bool MatchesAny(const std::vector<std::string>& masks, const std::string& name) {
    for (const std::string& mask : masks)
        if (TMask(mask).Matches(name))
            return true;
    return false;
}

bool PassesTests(const TSearchSettings& settings, const TFileInformations& entry) {
    const uint32_t attr = static_cast<uint32_t>(entry.Attr);
    bool passes = PassesAttributes(settings, attr);
    if (settings.DateFilter.Enabled)
        passes = PassesDate(settings.DateFilter, entry) && passes;
    if (settings.SizeFilter.Enabled)
        passes = PassesSize(settings.SizeFilter, entry.Size) && passes;
    passes = !MatchesAny(settings.ExcludedMasks, entry.Name) && passes;
    passes = PassesName(settings.Masks, entry.Name, (attr & platform::faDirectory) != 0) && passes;
    return passes;
}

}  // namespace search
