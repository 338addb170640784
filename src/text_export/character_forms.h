#pragma once
// The UTF-8 form of one document character, shared by the plain-text and HTML exports.
#include <cstdint>

#include "format/char_table.h"

namespace brevikon {

constexpr int Utf8CharMaxLength = 3;  // every CharTable entry lies in the BMP

// Writes the UTF-8 form of code into out and returns its length. The codes that the RTF
// escaping drops (0-31, 127-159) give 0 here as well, so every export shows the same text.
inline int FormatUtf8Char(char16_t code, char out[Utf8CharMaxLength]) {
    if (code < 32 || (code >= 127 && code <= 159)) return 0;
    if (code < 0x80) {
        out[0] = static_cast<char>(code);
        return 1;
    }
    if (code < 0x800) {
        out[0] = static_cast<char>(0xC0 | (code >> 6));
        out[1] = static_cast<char>(0x80 | (code & 0x3F));
        return 2;
    }
    out[0] = static_cast<char>(0xE0 | (code >> 12));
    out[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (code & 0x3F));
    return 3;
}

}  // namespace brevikon
