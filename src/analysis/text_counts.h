#pragma once
// The counting pass of the structure report: which bytes and attribute escapes the text holds.
#include <cstdint>

namespace brevikon {

struct TextCounts {
    // How often each byte value occurs from the text start on. Of a complete attribute escape
    // only the Escape byte counts; its letter, attribute and character bytes do not.
    std::int64_t byteCounts[256] = {};
    // How often each attribute byte occurs in a complete attribute escape.
    std::int64_t attributeCounts[256] = {};
    std::int64_t hardBreaks = 0;
    std::int64_t softBreaks = 0;
    std::int64_t softSpaces = 0;
    std::int64_t attributeEscapes = 0;
};

// Texts of this many bytes and more are counted in two halves at once where a second
// processor core is there.
constexpr std::int64_t SplitCountingFrom = 4 * 1024 * 1024;

// Counts from textStart to the end of the image, past any EndOfText. Leaves all counts 0 when
// textStart lies outside the image.
void CountTextStructure(const std::uint8_t* image, std::int64_t length, std::int64_t textStart,
                        TextCounts& counts);

}  // namespace brevikon
