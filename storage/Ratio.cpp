// Ratio formatting and the program-wide decimal separator it uses.
#include "storage/Ratio.h"

#include <cmath>
#include <cstdlib>
#include <optional>

#include "storage/LocaleText.h"

namespace storage {

namespace {
std::optional<char>& SeparatorSetting() {
    static std::optional<char> separator;
    return separator;
}
}  // namespace

char DecimalSeparator() {
    std::optional<char>& setting = SeparatorSetting();
    if (!setting)
        setting = UserDecimalSeparator();
    return *setting;
}

void SetDecimalSeparator(char separator) {
    SeparatorSetting() = separator;
}

std::string RatioText(int32_t size, int32_t fullSize, char separator) {
    if (fullSize == 0)
        return "100%";
    // Hundredths of a percent, rounded; built by hand so neither the process locale nor the C
    // library's long double support decides the text. 32-bit operands keep it well inside 64 bits.
    const long double percent = static_cast<long double>(size) / static_cast<long double>(fullSize) * 100.0L;
    const long long hundredths = std::llround(percent * 100.0L);
    const long long magnitude = std::llabs(hundredths);
    const long long fraction = magnitude % 100;
    std::string text = hundredths < 0 ? "-" : "";
    text += std::to_string(magnitude / 100);
    text += separator;
    text += static_cast<char>('0' + fraction / 10);
    text += static_cast<char>('0' + fraction % 10);
    return text + "%";
}

std::string RatioText(int32_t size, int32_t fullSize) {
    return RatioText(size, fullSize, DecimalSeparator());
}

}  // namespace storage
