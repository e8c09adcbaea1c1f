// What the user's locale says about text: its decimal separator and case-insensitive name comparison.
#pragma once

#include <string>

namespace storage {

// The decimal separator of the user's locale (Windows: the user locale's setting; POSIX: the
// LC_NUMERIC locale the environment selects). '.' when the locale gives none or a multi-byte one.
char UserDecimalSeparator();

// True when the two names are equal ignoring case, compared as the user's locale compares text.
bool SameLocaleText(const std::string& a, const std::string& b);

}  // namespace storage
