#include "analysis/text_counts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace brevikon {
namespace {

// The counting rule, one byte at a time, as the report describes it.
TextCounts PlainCounts(const std::vector<std::uint8_t>& bytes, std::int64_t start) {
    TextCounts counts;
    const auto length = static_cast<std::int64_t>(bytes.size());
    for (std::int64_t p = start; p < length;) {
        const std::uint8_t b = bytes[p];
        ++counts.byteCounts[b];
        if (b == 13) ++counts.hardBreaks;
        if (b == 141) ++counts.softBreaks;
        if (b == 160) ++counts.softSpaces;
        if (b == 27 && p + 3 < length && bytes[p + 1] == 83) {
            ++counts.attributeEscapes;
            ++counts.attributeCounts[bytes[p + 2]];
            p += 4;
        } else {
            p += 1;
        }
    }
    return counts;
}

// The counting reads eight bytes at a time where it can; escapes crossing those words, dense
// runs of 27 and 83, and every tail length must still count as byte-by-byte reading does.
TEST(TextCounts, WordwiseCountingMatchesByteByByte) {
    const std::uint8_t alphabet[] = {27, 27, 83, 83, 0, 13, 141, 160, 26, 0x41, 0xFF};
    std::mt19937 random(1987);
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::uint8_t> bytes(random() % 80 + 1);
        for (auto& b : bytes)
            b = alphabet[random() % sizeof alphabet];
        const auto start = static_cast<std::int64_t>(random() % bytes.size());
        TextCounts counts;
        CountTextStructure(bytes.data(), static_cast<std::int64_t>(bytes.size()), start, counts);
        const TextCounts expected = PlainCounts(bytes, start);
        // Nothing but 64-bit counters, so the bytes compare as the fields do.
        ASSERT_EQ(std::memcmp(&counts, &expected, sizeof counts), 0) << "round " << round;
    }
}

// A large text is counted in two halves that meet where the counting steps: they add up to
// one pass, with escapes dense around the middle or everywhere (no place to meet at all).
TEST(TextCounts, LargeTextsCountAsOnePass) {
    const auto size = static_cast<std::size_t>(SplitCountingFrom) + 4099;
    std::mt19937 random(1987);
    const std::uint8_t alphabet[] = {27, 27, 83, 83, 0, 13, 141, 160, 0x41};
    std::vector<std::uint8_t> mixed(size), escapes(size), twentySevens(size, 27);
    for (auto& b : mixed)
        b = alphabet[random() % sizeof alphabet];
    for (std::size_t i = 0; i < size; ++i)
        escapes[i] = i % 4 == 0 ? 27 : i % 4 == 1 ? 83 : static_cast<std::uint8_t>(random());
    for (const auto* bytes : {&mixed, &escapes, &twentySevens}) {
        for (const std::int64_t start : {0, 1, 2, 3}) {
            TextCounts counts;
            CountTextStructure(bytes->data(), static_cast<std::int64_t>(size), start, counts);
            const TextCounts expected = PlainCounts(*bytes, start);
            ASSERT_EQ(std::memcmp(&counts, &expected, sizeof counts), 0) << start;
        }
    }
}

TEST(TextCounts, StartOutsideTheImageCountsNothing) {
    const std::vector<std::uint8_t> bytes = {13, 13, 13};
    TextCounts counts;
    counts.hardBreaks = 5;  // earlier contents must not survive
    CountTextStructure(bytes.data(), 3, 3, counts);
    EXPECT_EQ(counts.hardBreaks, 0);
    CountTextStructure(bytes.data(), 3, -1, counts);
    EXPECT_EQ(counts.byteCounts[13], 0);
}

}  // namespace
}  // namespace brevikon
