#pragma once
// Number forms and UTF conversions shared by the texts of the program (all UTF-16).
#include <cstdint>
#include <string>
#include <string_view>

namespace brevikon {

// Signed decimal, no leading zeros, no grouping.
std::u16string DecimalText(std::int64_t value);
// Upper-case hexadecimal without leading zeros ("0" for zero).
std::u16string HexText(std::uint64_t value);
// Upper-case hexadecimal, at least `width` digits, filled on the left with '0'.
std::u16string HexText(std::uint64_t value, int width);
// Right-aligned in at least `width` characters, filled on the left with `fill`.
std::u16string PadLeft(std::u16string text, std::size_t width, char16_t fill);

// ASCII text as UTF-16, one unit per byte.
std::u16string AsciiText(std::string_view ascii);

// Invalid UTF-8 becomes U+FFFD. A lone surrogate in UTF-16 is written as its 3-byte form,
// and read back as itself, so a Windows file name survives the round trip.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace brevikon
