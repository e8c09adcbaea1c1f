// The user's locale on POSIX: the C library's locale data, read without changing the process locale.
#include "storage/LocaleText.h"

#include <langinfo.h>
#include <locale.h>

#include <cstring>
#include <cwchar>
#include <cwctype>

namespace storage {

namespace {
// A locale object for the categories the environment selects, freed on every path.
class TEnvLocale {
public:
    explicit TEnvLocale(int mask) : FLocale(newlocale(mask, "", static_cast<locale_t>(nullptr))) {}
    ~TEnvLocale() {
        if (FLocale)
            freelocale(FLocale);
    }
    TEnvLocale(const TEnvLocale&) = delete;
    TEnvLocale& operator=(const TEnvLocale&) = delete;
    locale_t Get() const { return FLocale; }

private:
    locale_t FLocale;
};

// Makes `locale` the calling thread's locale for the scope; the process locale stays as it is.
class TThreadLocale {
public:
    explicit TThreadLocale(locale_t locale) : FSaved(locale ? uselocale(locale) : nullptr) {}
    ~TThreadLocale() {
        if (FSaved)
            uselocale(FSaved);
    }
    TThreadLocale(const TThreadLocale&) = delete;
    TThreadLocale& operator=(const TThreadLocale&) = delete;

private:
    locale_t FSaved;
};

// Names are in the locale's multi-byte encoding (UTF-8 as a rule); decode them to wide characters; decode them to wide
// characters, a bad sequence byte for byte.
std::wstring Widen(const std::string& text) {
    std::wstring out;
    std::mbstate_t state{};
    const char* p = text.data();
    size_t left = text.size();
    while (left > 0) {
        wchar_t wc = 0;
        size_t n = std::mbrtowc(&wc, p, left, &state);
        if (n == static_cast<size_t>(-1) || n == static_cast<size_t>(-2) || n == 0) {
            wc = static_cast<unsigned char>(*p);
            n = 1;
            state = std::mbstate_t{};
        }
        out.push_back(wc);
        p += n;
        left -= n;
    }
    return out;
}
}  // namespace

char UserDecimalSeparator() {
    const TEnvLocale locale(LC_NUMERIC_MASK);
    if (!locale.Get())
        return '.';
    const char* radix = nl_langinfo_l(RADIXCHAR, locale.Get());
    return radix && std::strlen(radix) == 1 ? radix[0] : '.';
}

bool SameLocaleText(const std::string& a, const std::string& b) {
    const TEnvLocale locale(LC_CTYPE_MASK);
    const TThreadLocale scope(locale.Get());
    const std::wstring wa = Widen(a), wb = Widen(b);
    if (wa.size() != wb.size())
        return false;
    for (size_t i = 0; i < wa.size(); ++i)
        if (std::towlower(static_cast<wint_t>(wa[i])) != std::towlower(static_cast<wint_t>(wb[i])))
            return false;
    return true;
}

}  // namespace storage
