// The compression ratio text of stored items: "75,77%" style, with the program's decimal separator.
#pragma once

#include <cstdint>
#include <string>

namespace storage {

// The separator the ratio texts use: the user's locale one until the program sets another.
char DecimalSeparator();
void SetDecimalSeparator(char separator);

// `size` as a percentage of `fullSize` with two decimals and `separator`; "100%" when `fullSize` is 0.
std::string RatioText(int32_t size, int32_t fullSize, char separator);
std::string RatioText(int32_t size, int32_t fullSize);

}  // namespace storage
