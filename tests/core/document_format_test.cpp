// Header fields, text-start detection, the attribute escape look-ahead and the character table.
#include <gtest/gtest.h>

#include <vector>

#include "format/char_table.h"
#include "format/document_format.h"

namespace brevikon {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A file of `length` bytes of 'x' (so every candidate qualifies) with zeros where asked.
Bytes FileWithZeros(std::int64_t length, std::initializer_list<std::int64_t> zeros) {
    Bytes bytes(static_cast<std::size_t>(length), 'x');
    for (auto z : zeros)
        bytes[static_cast<std::size_t>(z)] = 0;
    return bytes;
}

std::int64_t TextStartOf(const Bytes& bytes) {
    return FindTextStart(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

TEST(FindTextStart, ShortFilesHaveNoWindowAndNoFallback) {
    EXPECT_EQ(TextStartOf(Bytes(1, 'x')), 0);
    EXPECT_EQ(TextStartOf(Bytes(200, 0)), 0);    // all zero, but the window starts at 200
    EXPECT_EQ(TextStartOf(Bytes(274, 'x')), 0);  // 273 needs more than 274 bytes
    EXPECT_EQ(TextStartOf(Bytes(275, 'x')), 273);
}

TEST(FindTextStart, WindowBoundsAreTwoHundredTo4095) {
    // A zero at 199 is outside the window: the 273 fall-back decides.
    EXPECT_EQ(TextStartOf(FileWithZeros(700, {199})), 273);
    EXPECT_EQ(TextStartOf(FileWithZeros(700, {200})), 281);
    // A zero at 4095 is still seen; one at 4096 is not.
    EXPECT_EQ(TextStartOf(FileWithZeros(5000, {4095})), 4176);
    EXPECT_EQ(TextStartOf(FileWithZeros(5000, {4096})), 759);
}

TEST(FindTextStart, LastZeroOfTheWindowWins) {
    EXPECT_EQ(TextStartOf(FileWithZeros(700, {300, 500})), 581);
}

TEST(FindTextStart, CandidateMustBeAtLeastThirtyTwo) {
    Bytes bytes = FileWithZeros(700, {300});
    bytes[381] = 32;
    EXPECT_EQ(TextStartOf(bytes), 381);
    bytes[381] = 31;
    EXPECT_EQ(TextStartOf(bytes), 273);
    bytes[381] = 0;  // also a zero, but a later one: 381 + 81 = 462 qualifies
    EXPECT_EQ(TextStartOf(bytes), 462);
    bytes[381] = 200;  // unsigned: bytes from 128 qualify
    EXPECT_EQ(TextStartOf(bytes), 381);
}

TEST(FindTextStart, CandidateBeyondTheEndFallsBack) {
    // Last zero at 700, candidate 781 lies past the end of a 781-byte file.
    EXPECT_EQ(TextStartOf(FileWithZeros(781, {700})), 759);
    // Same with the 759 fall-back refused: the 273 one is tried next.
    Bytes bytes = FileWithZeros(781, {700});
    bytes[759] = 5;
    EXPECT_EQ(TextStartOf(bytes), 273);
    bytes[273] = 31;
    EXPECT_EQ(TextStartOf(bytes), 0);
}

TEST(FindTextStart, FallbackLengthsAreStrict) {
    EXPECT_EQ(TextStartOf(FileWithZeros(760, {})), 273);  // 759 needs 761 bytes
    EXPECT_EQ(TextStartOf(FileWithZeros(761, {})), 759);
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
    const Bytes escape = {27, 83, 5, 'a'};
    EXPECT_EQ(PeekAttributeEscape(escape.data(), 4, 0), 5);
    EXPECT_EQ(PeekAttributeEscape(escape.data(), 3, 0), 0);  // p + 3 == length
    const Bytes notS = {27, 84, 5, 'a'};
    EXPECT_EQ(PeekAttributeEscape(notS.data(), 4, 0), 0);
    const Bytes notEscape = {28, 83, 5, 'a'};
    EXPECT_EQ(PeekAttributeEscape(notEscape.data(), 4, 0), 0);
    EXPECT_EQ(PeekAttributeEscape(escape.data(), 4, 1), 0);
}

TEST(CharTable, AsciiIdentityAndCodePage437) {
    CharTable table{};
    BuildCharTable(table);
    EXPECT_EQ(table[0], 0);
    EXPECT_EQ(table[65], u'A');
    EXPECT_EQ(table[127], 0x7F);
    EXPECT_EQ(table[0x80], 0x00C7);
    EXPECT_EQ(table[0x81], 0x00FC);
    EXPECT_EQ(table[0x84], 0x00E4);
    EXPECT_EQ(table[0x8E], 0x00C4);
    EXPECT_EQ(table[0x94], 0x00F6);
    EXPECT_EQ(table[0x99], 0x00D6);
    EXPECT_EQ(table[0x9A], 0x00DC);
    EXPECT_EQ(table[0xA0], 0x00E1);
    EXPECT_EQ(table[0xB3], 0x2502);
    EXPECT_EQ(table[0xC4], 0x2500);
    EXPECT_EQ(table[0xE1], 0x00DF);
    EXPECT_EQ(table[0xF8], 0x00B0);
    EXPECT_EQ(table[0xFF], 0x00A0);
    for (int n = 128; n < 256; ++n)
        EXPECT_GE(table[n], 0xA0) << n;
}

}  // namespace
}  // namespace brevikon
