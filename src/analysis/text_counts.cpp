#include "analysis/text_counts.h"

#include <cstring>

#include "format/document_format.h"

namespace brevikon {

namespace {

// True when any of the eight bytes of word is an Escape (exact, by the has-zero-byte test on
// word ^ 0x1B1B...). Runs of plain text then need no escape test per byte.
bool HoldsEscape(std::uint64_t word) {
    constexpr std::uint64_t ones = 0x0101010101010101ull;
    constexpr std::uint64_t highs = 0x8080808080808080ull;
    const std::uint64_t x = word ^ (ones * Escape);
    return ((x - ones) & ~x & highs) != 0;
}

}  // namespace

void CountTextStructure(const std::uint8_t* image, std::int64_t length, std::int64_t textStart,
                        TextCounts& counts) {
    counts = TextCounts{};
    if (!image || textStart < 0 || textStart >= length) return;

    // Four partial histograms, so that a run of equal bytes does not make each increment wait
    // for the one before; they are added up at the end.
    std::int64_t partial[4][256] = {};
    const std::uint8_t* p = image + textStart;
    const std::uint8_t* const end = image + length;

    while (p < end) {
        if (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            if (!HoldsEscape(word)) {
                ++partial[0][p[0]];
                ++partial[1][p[1]];
                ++partial[2][p[2]];
                ++partial[3][p[3]];
                ++partial[0][p[4]];
                ++partial[1][p[5]];
                ++partial[2][p[6]];
                ++partial[3][p[7]];
                p += 8;
                continue;
            }
            // The plain bytes before the word's first Escape one by one, then the escape.
            while (*p != Escape) {
                ++partial[0][*p++];
            }
        } else if (*p != Escape) {
            ++partial[0][*p++];
            continue;
        }

        // p is at an Escape, which counts as a byte. A complete escape swallows its letter,
        // attribute and character bytes; a 27 in one of the last three positions, or one
        // without the letter, is a control code of its own.
        ++partial[0][Escape];
        if (end - p > 3 && p[1] == EscapeLetter) {
            ++counts.attributeEscapes;
            ++counts.attributeCounts[p[2]];
            p += AttributeEscapeLength;
        } else {
            ++p;
        }
    }

    for (int b = 0; b < 256; ++b) {
        counts.byteCounts[b] = partial[0][b] + partial[1][b] + partial[2][b] + partial[3][b];
    }
    counts.hardBreaks = counts.byteCounts[HardBreak];
    counts.softBreaks = counts.byteCounts[SoftBreak];
    counts.softSpaces = counts.byteCounts[SoftSpace];
}

}  // namespace brevikon
