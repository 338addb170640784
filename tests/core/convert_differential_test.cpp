// The converter against its literal reference on random documents built from the format's
// own codes.
#include <gtest/gtest.h>

#include <random>

#include "support/random_document.h"
#include "support/reference_converter.h"

namespace brevikon {
namespace {

TEST(ConvertDifferential, MatchesTheLiteralConversionByteForByte) {
    CharTable table{};
    BuildCharTable(table);
    std::mt19937 random(1987);
    for (int round = 0; round < 400; ++round) {
        const std::size_t length = 1 + random() % (round < 300 ? 1200 : 90000);
        const auto document = test::RandomDocument(random, length);
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
