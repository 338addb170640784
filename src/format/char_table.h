#pragma once
// The word processor's 8-bit character set as UTF-16: ASCII below 128, code page 437 above.
#include <array>

namespace brevikon {

using CharTable = std::array<char16_t, 256>;

extern const std::array<char16_t, 128> Cp437UpperHalf;

void BuildCharTable(CharTable& table);

}  // namespace brevikon
