#pragma once
// The text form written the slow, literal way: one case per byte, no runs. Tests and fuzzers
// compare the real export with it byte for byte.
#include <cstdint>
#include <string>

#include "format/char_table.h"
#include "format/document_format.h"
#include "text_export/character_forms.h"

namespace brevikon::test {

inline std::string ReferenceText(const std::uint8_t* image, std::int64_t length,
                                 const CharTable& table, bool dropFillerSpaces) {
    std::string text;
    if (!image || length < 1) return text;
    bool open = false;
    bool softBreak = false;
    auto character = [&](std::uint8_t code) {
        char form[Utf8CharMaxLength];
        text.append(form, static_cast<std::size_t>(FormatUtf8Char(table[code], form)));
        open = true;
    };
    std::int64_t p = FindTextStart(image, length);
    while (p < length) {
        const std::uint8_t v = image[p++];
        if (v == 26) break;
        if (v == 13) {
            if (p < length && image[p] == 10) ++p;
            text += '\n';
            open = softBreak = false;
        } else if (v == 141) {
            text += ' ';
            open = softBreak = true;
        } else if (v == 12) {
            if (open) text += '\n';
            text += '\f';
            open = softBreak = false;
        } else if (v == 9) {
            text += '\t';
            open = true;
        } else if (v == 32 || v == 128 || v == 160) {
            if (softBreak || (v == 160 && dropFillerSpaces)) continue;
            text += ' ';
            open = true;
        } else if (v != 10) {
            softBreak = false;
            if (v == 27 && p + 2 < length && image[p] == 83) {
                character(image[p + 2]);
                p += 3;
            } else if (v >= 32) {
                character(v);
            }
        }
    }
    if (open) text += '\n';
    return text;
}

}  // namespace brevikon::test
