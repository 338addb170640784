#include "analysis/hex_dump.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/text.h"

namespace brevikon {
namespace {

std::string Dump(const std::vector<std::uint8_t>& image, std::int64_t start, std::int64_t count) {
    return Utf16ToUtf8(
        HexDump(image.data(), static_cast<std::int64_t>(image.size()), start, count));
}

// Bytes $30, $31, ... : the characters '0', '1', ... so that both columns can be read off.
std::vector<std::uint8_t> Ascending(int n) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < n; ++i)
        bytes.push_back(static_cast<std::uint8_t>(0x30 + i));
    return bytes;
}

// Eight empty columns of three, after the blank that follows the eighth column.
const std::string EightEmpty(24, ' ');

TEST(HexDump, LinesOfSixteenWithAShortLastLineClampedToTheImage) {
    const std::string expected =
        "000000  30 31 32 33 34 35 36 37  38 39 3A 3B 3C 3D 3E 3F  |0123456789:;<=>?|\n"
        "000010  40 41 42 43 44 45 46 47  48 49 4A 4B 4C 4D 4E 4F  |@ABCDEFGHIJKLMNO|\n"
        "000020  50 51 52 53 54 55 56 57  " +
        EightEmpty + " |PQRSTUVW|\n";
    EXPECT_EQ(Dump(Ascending(40), 0, 64), expected);
    // Exactly 32 bytes give two lines and no empty third, however many are asked for.
    EXPECT_EQ(Dump(Ascending(32), 0, 64), expected.substr(0, 2 * 77));
    // The offset column counts in the image, not from the start of the dump.
    EXPECT_EQ(Dump(std::vector<std::uint8_t>(0x300, 0x41), 0x2F0, 128),
              "0002F0  41 41 41 41 41 41 41 41  41 41 41 41 41 41 41 41  |AAAAAAAAAAAAAAAA|\n");
}

TEST(HexDump, OnlyPrintableAsciiShowsInCharacterColumn) {
    // $1F and $7F just outside the printable range, $20 and $7E just inside, $80 and $FF high.
    const std::vector<std::uint8_t> image = {0x1F, 0x20, 0x7E, 0x7F, 0x80, 0xFF, 0x00, 0x0D};
    EXPECT_EQ(Dump(image, 0, 8),
              "000000  1F 20 7E 7F 80 FF 00 0D  " + EightEmpty + " |. ~.....|\n");
}

TEST(HexDump, NothingOutsideTheImage) {
    const std::vector<std::uint8_t> image = Ascending(40);
    const std::pair<std::int64_t, std::int64_t> ranges[] = {{40, 128},
                                                            {41, 128},
                                                            {0, 0},
                                                            {0, -5},
                                                            {-1, 64},
                                                            {INT64_MIN, INT64_MAX},
                                                            {INT64_MAX, INT64_MAX}};
    for (const auto& [start, count] : ranges)
        EXPECT_EQ(Dump(image, start, count), "") << start << ", " << count;
    EXPECT_EQ(HexDump(nullptr, 40, 0, 64), u"");
    // A huge count must clamp, not overflow start + count.
    EXPECT_EQ(Dump(image, 39, INT64_MAX),
              "000027  57" + std::string(1 + 7 * 3 + 1 + 8 * 3, ' ') + " |W|\n");
}

}  // namespace
}  // namespace brevikon
