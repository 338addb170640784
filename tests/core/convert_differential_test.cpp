// The converter against its literal reference on random documents built from the format's
// own codes, so that every pairing of codes, escapes and plain runs gets exercised.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "support/reference_converter.h"

namespace brevikon {
namespace {

std::vector<std::uint8_t> RandomDocument(std::mt19937& random, std::size_t length) {
    static constexpr std::uint8_t codes[] = {26, 13, 10, 141, 160, 128, 32, 12, 9, 27, 83, 1, 0};
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < length) {
        const unsigned pick = random() % 10;
        if (pick < 4) {
            bytes.push_back(static_cast<std::uint8_t>('a' + random() % 26));
        } else if (pick < 7) {
            bytes.push_back(codes[random() % std::size(codes)]);
        } else if (pick < 9) {
            // An attribute escape with a small attribute set, so neighbours often match.
            bytes.insert(bytes.end(), {27, 83, static_cast<std::uint8_t>(random() % 4),
                                       static_cast<std::uint8_t>(random())});
        } else {
            bytes.push_back(static_cast<std::uint8_t>(random()));
        }
    }
    // Rarely keep the end marker early, so long documents reach the end of the file.
    for (auto& byte : bytes) {
        if (byte == 26 && random() % 8 != 0) byte = 'z';
    }
    bytes.resize(length);
    return bytes;
}

TEST(ConvertDifferential, MatchesTheLiteralConversionByteForByte) {
    CharTable table{};
    BuildCharTable(table);
    std::mt19937 random(1987);
    for (int round = 0; round < 400; ++round) {
        const std::size_t length = 1 + random() % (round < 300 ? 1200 : 90000);
        const auto document = RandomDocument(random, length);
        const FontMode fontMode = round % 2 ? FontMode::Proportional : FontMode::Monospace;
        RtfBuffer fast;
        std::uint8_t attributes = 0;
        ConvertDocumentToRtf({document.data(), static_cast<std::int64_t>(length), fontMode, &table,
                              &fast, &attributes});
        RtfBuffer reference;
        test::ReferenceConvert(document.data(), static_cast<std::int64_t>(length), fontMode, table,
                               reference);
        ASSERT_EQ(fast.content(), reference.content()) << "round " << round;
        ASSERT_EQ(fast.capacity, reference.capacity) << "round " << round;
        ASSERT_EQ(attributes, 0);
    }
}

}  // namespace
}  // namespace brevikon
