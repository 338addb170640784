// Header fields, text-start detection, the attribute escape look-ahead and the character table.
#include <gtest/gtest.h>

#include <vector>

#include "format/char_table.h"
#include "format/document_format.h"

namespace brevikon {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The text starts 81 bytes after the last zero in 200..4095 when that byte is at least 32,
// else at 759 or 273 when the file is long enough and that byte qualifies, else at 0.
TEST(FindTextStart, WindowCandidateAndFallbacks) {
    constexpr auto Zero = TextStartRule::ZeroWindow;
    constexpr auto At759 = TextStartRule::Fallback759;
    constexpr auto At273 = TextStartRule::Fallback273;
    constexpr auto At0 = TextStartRule::FileStart;
    const struct {
        std::int64_t length;
        std::vector<std::pair<std::int64_t, std::uint8_t>> set;  // offset, byte; the rest 'x'
        std::int64_t start;
        TextStartRule rule;
    } cases[] = {
        {1, {}, 0, At0},
        {200, {{0, 0}, {199, 0}}, 0, At0},  // zeros, but the window starts at 200
        {274, {}, 0, At0},                  // 273 needs more than 274 bytes
        {275, {}, 273, At273},
        {760, {}, 273, At273},  // 759 needs 761 bytes
        {761, {}, 759, At759},
        {700, {{199, 0}}, 273, At273},  // just outside the window
        {700, {{200, 0}}, 281, Zero},
        {5000, {{4095, 0}}, 4176, Zero},
        {5000, {{4096, 0}}, 759, At759},
        {700, {{300, 0}, {500, 0}}, 581, Zero},  // the last zero wins
        {700, {{300, 0}, {381, 32}}, 381, Zero},
        {700, {{300, 0}, {381, 31}}, 273, At273},
        {700, {{300, 0}, {381, 200}}, 381, Zero},  // unsigned: bytes from 128 qualify
        {700, {{300, 0}, {381, 0}}, 462, Zero},    // the candidate is itself a later zero
        {781, {{700, 0}}, 759, At759},             // candidate 781 lies past the end
        {781, {{700, 0}, {759, 5}}, 273, At273},
        {781, {{700, 0}, {759, 5}, {273, 31}}, 0, At0},
    };
    for (const auto& c : cases) {
        Bytes bytes(static_cast<std::size_t>(c.length), 'x');
        for (const auto& [offset, value] : c.set)
            bytes[static_cast<std::size_t>(offset)] = value;
        EXPECT_EQ(FindTextStart(bytes.data(), c.length), c.start) << "case " << &c - cases;
        EXPECT_EQ(FindTextStartAndRule(bytes.data(), c.length).rule, c.rule)
            << "case " << &c - cases;
    }
    // The window is searched in words: a lone zero at every offset within one.
    for (const std::uint8_t fill : {std::uint8_t{'x'}, std::uint8_t{0xFF}}) {
        for (std::int64_t zero = 200; zero < 232; ++zero) {
            for (const std::int64_t length : {zero + 82, std::int64_t{4100}}) {
                Bytes bytes(static_cast<std::size_t>(length), fill);
                bytes[static_cast<std::size_t>(zero)] = 0;
                EXPECT_EQ(FindTextStart(bytes.data(), length), zero + 81) << zero << ' ' << length;
            }
        }
    }
}

TEST(DocumentHeader, ReadOnlyFromNineteenBytes) {
    // identifier 0xB5 0x01, two skipped bytes, then the four 16-bit fields, header lines 3,
    // two skipped bytes, footer lines 2, and the first byte after the fields.
    const Bytes bytes = {0xB5, 0x01, 0xFF, 0xFF, 65,   0, 72, 0, 10, 0,
                         0x02, 0x01, 3,    0xEE, 0xEE, 2, 0,  0, 0};
    DocumentHeader header;
    EXPECT_FALSE(ReadDocumentHeader(bytes.data(), 18, header));
    ASSERT_TRUE(ReadDocumentHeader(bytes.data(), 19, header));
    EXPECT_EQ(header.identifier[0], 0xB5);
    EXPECT_EQ(header.identifier[1], 0x01);
    EXPECT_EQ(header.rightMargin, 65);
    EXPECT_EQ(header.pageLength, 72);
    EXPECT_EQ(header.charsPerInch, 10);
    EXPECT_EQ(header.lineSpacing, 0x0102);  // little-endian
    EXPECT_EQ(header.headerLines, 3);
    EXPECT_EQ(header.footerLines, 2);
}

TEST(PeekAttributeEscape, NeedsAllFourBytesInsideTheFile) {
    const Bytes bytes = {27, 83, 5, 'a', 27, 84, 5, 'a', 28, 83, 5, 'a'};
    EXPECT_EQ(PeekAttributeEscape(bytes.data(), 4, 0), 5);
    EXPECT_EQ(PeekAttributeEscape(bytes.data(), 3, 0), 0);  // p + 3 == length
    EXPECT_EQ(PeekAttributeEscape(bytes.data(), 12, 1), 0);
    EXPECT_EQ(PeekAttributeEscape(bytes.data(), 12, 4), 0);  // not 'S'
    EXPECT_EQ(PeekAttributeEscape(bytes.data(), 12, 8), 0);  // not 27
}

TEST(CharTable, AsciiIdentityAndCodePage437) {
    CharTable table{};
    BuildCharTable(table);
    const std::pair<int, char16_t> cases[] = {
        {0, 0},         {65, u'A'},     {127, 0x7F},    {0x80, 0x00C7},
        {0x81, 0x00FC}, {0x84, 0x00E4}, {0x8E, 0x00C4}, {0x94, 0x00F6},
        {0x99, 0x00D6}, {0x9A, 0x00DC}, {0xA0, 0x00E1}, {0xB3, 0x2502},
        {0xC4, 0x2500}, {0xE1, 0x00DF}, {0xF8, 0x00B0}, {0xFF, 0x00A0}};
    for (const auto& [byte, unit] : cases)
        EXPECT_EQ(table[byte], unit) << byte;
    for (int n = 128; n < 256; ++n)
        EXPECT_GE(table[n], 0xA0) << n;
}

}  // namespace
}  // namespace brevikon
