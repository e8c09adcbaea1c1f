// The user's locale on Windows: the user locale's decimal separator and its case-insensitive comparison.
#include "storage/LocaleText.h"

#include <windows.h>

namespace storage {

char UserDecimalSeparator() {
    // LOCALE_SDECIMAL holds at most three characters and the terminator.
    char buffer[4] = {};
    const int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer);
    return n == 2 ? buffer[0] : '.';
}

bool SameLocaleText(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) == CSTR_EQUAL;
}

}  // namespace storage
