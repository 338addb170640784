// The analysis facts of small hand-made files, one per text-start rule, every value worked out
// by hand from the bytes; and the end marker against a reading of the escape rule.
#include "analysis/document_facts.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <tuple>
#include <vector>

namespace brevikon {
namespace {

using Bytes = std::vector<std::uint8_t>;

// `length` bytes of 'x' with each part written at its offset.
Bytes Filled(std::size_t length, std::initializer_list<std::pair<std::size_t, Bytes>> parts) {
    Bytes out(length, 'x');
    for (const auto& [at, bytes] : parts)
        std::copy(bytes.begin(), bytes.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
    return out;
}

TEST(AnalyseDocument, FactsOfEachTextStartRule) {
    // Text start, header, incomplete escapes, unknown control codes, attribute escapes, end
    // marker found, its offset, bytes after it.
    using Facts = std::array<std::int64_t, 8>;
    const std::tuple<Bytes, std::string_view, Facts> cases[] = {
        // Header BE 12, margin 65, page 72, 10 per inch, spacing 1; the window's last zero at
        // 250, so the text at 331: 'A', complete escapes at 332 and 336 (its character a 26,
        // no end marker), a hard break, 7 (342, unknown), an Escape without its letter (343),
        // a page break (345, unknown as the report counts it), the end marker (346), "xxx", 26
        // (350, unknown), a tab. At 397 an escape cut off by the end of the file: its letter
        // and attribute (399, unknown) count on their own.
        {Filled(400, {{0, {0xBE, 0x12, 1, 0, 65, 0, 72, 0, 10, 0, 1, 0}},
                      {250, {0}},
                      {331, {'A', 27, 'S', 2,  'c', 27,  'S', 1,   26, 13, 10,
                             7,   27, 'q', 12, 26,  'x', 'x', 'x', 26, 9}},
                      {397, {27, 'S', 5}}}),
         "zero_window",
         {331, 1, 2, 5, 2, 1, 346, 400 - 347}},
        // No zero from 200 on: text at 759, ending in an escape without its character.
        {Filled(800, {{797, {27, 'S', 'k'}}}), "759", {759, 1, 1, 0, 0, 0, 0, 0}},
        // The last byte is 26, but the character of the escape at 496.
        {Filled(500, {{496, {27, 'S', 3, 26}}}), "273", {273, 1, 0, 0, 1, 0, 0, 0}},
        // Too short for any rule; the 26 follows an incomplete escape, so it ends the text.
        {{'N', 'o', 27, 'q', 26, 'z'}, "0", {0, 0, 1, 1, 0, 1, 4, 1}},
    };
    for (const auto& [bytes, rule, expected] : cases) {
        DocumentFacts f;
        AnalyseDocument(bytes.data(), static_cast<std::int64_t>(bytes.size()), f);
        EXPECT_EQ(TextStartRuleName(f.textStartRule), rule);
        EXPECT_EQ(Facts({f.textStart, f.hasHeader, f.incompleteEscapes, f.unknownControlCodes,
                         f.counts.attributeEscapes, f.endMarkerFound, f.endMarkerOffset,
                         f.bytesAfterEndMarker}),
                  expected)
            << rule;
    }
}

// The end marker is where reading stops: the first 26 that is no escape's attribute or
// character (a complete escape is 27 'S' and two more bytes inside the file).
TEST(AnalyseDocument, EndMarkerIsWhereReadingStops) {
    const std::uint8_t alphabet[] = {27, 27, 83, 26, 13, 10, 'a', 1};
    std::mt19937 random(1988);
    for (int round = 0; round < 3000; ++round) {
        Bytes bytes(random() % 40 + 1);  // shorter than the window: text from 0
        for (auto& b : bytes)
            b = alphabet[random() % sizeof alphabet];
        const auto length = static_cast<std::int64_t>(bytes.size());
        std::int64_t expected = -1;
        for (std::int64_t p = 0; p < length && expected < 0;
             p += bytes[p] == 27 && p + 3 < length && bytes[p + 1] == 83 ? 4 : 1) {
            if (bytes[p] == 26) expected = p;
        }
        DocumentFacts facts;
        AnalyseDocument(bytes.data(), length, facts);
        ASSERT_EQ(facts.endMarkerFound ? facts.endMarkerOffset : -1, expected) << "round " << round;
    }
}

}  // namespace
}  // namespace brevikon
