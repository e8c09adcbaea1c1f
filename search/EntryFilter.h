// The tests that decide whether the walker reports an entry, and the calendar-day helpers of the date test.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "search/FileSearch.h"

namespace search {

// The day of a calendar date, or nothing for a date that does not exist (month 13, 30 February, year 0).
std::optional<TDateTime> TryEncodeDate(uint16_t year, uint16_t month, uint16_t day);
// Today at midnight, local time.
TDateTime Date();

// True when the name matches one of the masks (in list order, the first match wins); each mask is compiled
// for this call, so an invalid one raises EMaskException here.
bool MatchesAny(const std::vector<std::string>& masks, const std::string& name);

// The attribute, date, size, exclusion and name tests. Every test is evaluated, so an invalid mask is
// reported at the first entry even when another test already rejects that entry.
bool PassesTests(const TSearchSettings& settings, const TFileInformations& entry);

}  // namespace search
