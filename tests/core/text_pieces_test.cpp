#include "format/text_pieces.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <set>
#include <vector>

#include "format/document_format.h"
#include "format/text_codes.h"
#include "support/random_document.h"

namespace brevikon {
namespace {

// Notes where one pass of the reading stands right after each hard break it takes.
struct ParagraphEnds {
    std::set<std::int64_t> after;
    void WriteHardBreak() { pending = true; }
    void WriteSoftBreak() {}
    void WritePageBreak() {}
    void WriteTab() {}
    void WriteSpace(std::uint8_t) {}
    void WriteCharacter(std::uint8_t, std::uint8_t) {}
    bool pending = false;
};

// Up to the end of the text: a cut after it only makes a piece that is never handed on.
std::set<std::int64_t> PositionsAfterHardBreaks(const std::vector<std::uint8_t>& bytes,
                                                std::int64_t& textEnd) {
    const auto length = static_cast<std::int64_t>(bytes.size());
    ParagraphEnds ends;
    TextCodeState state{0};
    while (state.position < length && ReadOneTextCode(bytes.data(), length, state, ends)) {
        if (ends.pending) ends.after.insert(state.position);
        ends.pending = false;
    }
    textEnd = state.position;
    return ends.after;
}

// A cut is only ever made where the reading itself ends a paragraph: never at a 13 that is
// an escape's attribute or character, and after the line feed the hard break takes.
TEST(TextPieces, CutsOnlyWhereTheReadingEndsAParagraph) {
    std::mt19937 random(1987);
    int cuts = 0;
    for (int round = 0; round < 300; ++round) {
        const auto bytes = test::RandomDocument(random, 200 + random() % 3000);
        const auto length = static_cast<std::int64_t>(bytes.size());
        std::int64_t textEnd = 0;
        const std::set<std::int64_t> after = PositionsAfterHardBreaks(bytes, textEnd);
        for (std::int64_t from = 0; from < length; from += 1 + random() % 7) {
            const std::int64_t end = FindPieceEnd(bytes.data(), length, from, from + 64);
            if (end < 0 || end > textEnd) continue;
            ++cuts;
            EXPECT_TRUE(after.count(end)) << "round " << round << ", cut at " << end;
            EXPECT_GT(end, from);
            EXPECT_LE(end, std::min(length, from + 64 + 1));
        }
    }
    EXPECT_GT(cuts, 10000);  // the random documents hold plenty of places to cut
}

TEST(TextPieces, PiecesCoverTheTextAndStaySmall) {
    std::mt19937 random(7);
    int cutTexts = 0;
    for (int round = 0; round < 100; ++round) {
        const auto bytes = test::RandomDocument(random, 20000 + random() % 40000);
        const auto length = static_cast<std::int64_t>(bytes.size());
        const std::int64_t start = random() % 300, size = 2000 + random() % 2000;
        const std::vector<std::int64_t> ends = FindPieceEnds(bytes.data(), length, start, size);
        if (ends.empty()) continue;  // some stretch without a place to cut
        cutTexts += ends.size() > 2;
        EXPECT_EQ(ends.back(), length);
        std::int64_t from = start;
        for (const std::int64_t end : ends) {
            EXPECT_GT(end, from);
            EXPECT_LE(end - from, 2 * size + 1);
            from = end;
        }
    }
    EXPECT_GT(cutTexts, 50);
    // A long text with no paragraph end is read in one pass, not as one growing piece.
    std::vector<std::uint8_t> soft(10000, 'a');
    for (std::size_t p = 50; p < soft.size(); p += 80)
        soft[p] = SoftBreak;
    EXPECT_TRUE(FindPieceEnds(soft.data(), 10000, 0, 1000).empty());
    // Short of two pieces, the rest is one.
    EXPECT_EQ(FindPieceEnds(soft.data(), 1500, 0, 1000), std::vector<std::int64_t>{1500});
    // Hard breaks that belong to escapes are no cuts: Escape 'S' 13 13 and Escape 'S' 1 13.
    std::vector<std::uint8_t> escapes;
    for (int i = 0; i < 500; ++i)
        escapes.insert(escapes.end(), {Escape, EscapeLetter, HardBreak, HardBreak, Escape,
                                       EscapeLetter, 1, HardBreak});
    EXPECT_EQ(FindPieceEnd(escapes.data(), 4000, 0, 4000), -1);
}

}  // namespace
}  // namespace brevikon
