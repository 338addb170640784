// The converter against its literal reference on random documents built from the format's
// own codes.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/guarded_heap.h"
#include "support/random_document.h"
#include "support/reference_converter.h"

namespace brevikon {
namespace {

// The plain run's builds this processor can take: the narrow one always, the wide one where
// it has AVX2. Each must write what the literal conversion writes.
std::vector<bool> PlainRunBuilds() {
    if (WideBlocksAvailable()) return {false, true};
    return {false};
}

TEST(ConvertDifferential, MatchesTheLiteralConversionByteForByte) {
    CharTable table{};
    BuildCharTable(table);
    std::mt19937 random(1987);
    constexpr test::DocumentBytes kinds[] = {test::DocumentBytes::Prose, test::DocumentBytes::Any,
                                             test::DocumentBytes::Plain};
    for (int round = 0; round < 450; ++round) {
        const std::size_t length = 1 + random() % (round < 300 ? 1200 : 90000);
        const auto bytes = test::RandomDocument(random, length, kinds[round % 3]);
        const auto document = test::ExactImage(bytes);
        const FontMode fontMode = round % 2 ? FontMode::Proportional : FontMode::Monospace;
        RtfBuffer reference;
        test::ReferenceConvert(document.get(), static_cast<std::int64_t>(length), fontMode, table,
                               reference);
        for (const bool wide : PlainRunBuilds()) {
            RtfBuffer fast;
            std::uint8_t attributes = 0;
            RtfConversion conversion{document.get(), static_cast<std::int64_t>(length),
                                     fontMode,       &table,
                                     &fast,          &attributes};
            conversion.wideBlocks = wide;
            ConvertDocumentToRtf(conversion);
            ASSERT_EQ(fast.content(), reference.content()) << "round " << round << " wide " << wide;
            ASSERT_EQ(fast.capacity, reference.capacity) << "round " << round << " wide " << wide;
            ASSERT_EQ(attributes, 0);
        }
    }
}

// Escapes that switch every attribute group on and off again write the longest steps a run
// takes; shifted one byte at a time, one of them reaches the end of the first block wherever
// the block ends, and must leave the growing to the appends.
TEST(ConvertDifferential, LongestAttributeStepsAtEveryDistanceFromTheBufferEnd) {
    CharTable table{};
    BuildCharTable(table);
    const std::string steps[] = {
        "\x1bS\x3F"
        "a",
        "\x1bS\x40"
        "b",
        " "};
    for (int shift = 0; shift < 100; ++shift) {
        std::string document(static_cast<std::size_t>(800 + shift), 'x');
        for (int i = 0; document.size() < 70000; ++i)
            document += steps[i % 3];
        const auto* image = reinterpret_cast<const std::uint8_t*>(document.data());
        const auto length = static_cast<std::int64_t>(document.size());
        RtfBuffer fast;
        std::uint8_t attributes = 0;
        ConvertDocumentToRtf({image, length, FontMode::Monospace, &table, &fast, &attributes});
        RtfBuffer reference;
        test::ReferenceConvert(image, length, FontMode::Monospace, table, reference);
        ASSERT_EQ(fast.content(), reference.content()) << "shift " << shift;
        ASSERT_EQ(fast.capacity, reference.capacity) << "shift " << shift;
    }
}

// Lines each closing a paragraph that the next opens at once. Mixed: ten to fifteen letters,
// or box-drawing characters with their long forms. Longest: fifteen characters whose code has
// five digits, the longest form there is, so that a turn of the plain run writes all it may
// (15 forms of 8 bytes, the end and the next opening), shifted through a whole line's output
// so that once such a turn starts exactly at the end of its room; in plain text, without
// umlauts, thirty-one such forms, the most a turn of the wide blocks writes. Nothing may be stored
// behind the end of any block the buffer grows through.
TEST(ConvertDifferential, ParagraphEndsAtEveryDistanceFromTheBufferEnd) {
    CharTable table{};
    BuildCharTable(table);
    CharTable longForms = table;
    longForms[0xC4] = 0xFFFD;
    longForms[0x01] = 0xFFFD;
    // Line i's letters.
    using Line = std::string (*)(int);
    const Line mixed = [](int i) {
        return std::string(static_cast<std::size_t>(10 + i % 6),
                           i / 6 % 2 ? static_cast<char>('a' + i % 26) : '\xc4');
    };
    const Line longest = [](int) { return std::string(15, '\xc4'); };
    // Only a line that begins with a character the next paragraph opens with ends a plain
    // turn, so the lines of long forms alternate with such lines.
    const Line longestPlain = [](int i) {
        return i % 2 ? std::string("a") : std::string(31, '\x01');
    };
    const struct {
        const CharTable& table;
        Line line;
        int shifts;
        std::size_t size;
    } kinds[] = {{table, mixed, 64, 140000},
                 {longForms, longest, 143, 20000},
                 {longForms, longestPlain, 300, 20000}};
    for (const auto& kind : kinds) {
        for (int shift = 0; shift < kind.shifts; ++shift) {
            std::string document(static_cast<std::size_t>(800 + shift), 'x');
            for (int i = 0; document.size() < kind.size; ++i)
                document += kind.line(i) + "\r\n";
            const auto* image = reinterpret_cast<const std::uint8_t*>(document.data());
            const auto length = static_cast<std::int64_t>(document.size());
            test::GuardedHeap heap;
            {
                RtfBuffer fast(heap);
                std::uint8_t attributes = 0;
                for (const FontMode mode : {FontMode::Monospace, FontMode::Proportional}) {
                    RtfBuffer reference;
                    test::ReferenceConvert(image, length, mode, kind.table, reference);
                    for (const bool wide : PlainRunBuilds()) {
                        RtfConversion conversion{image,       length, mode,
                                                 &kind.table, &fast,  &attributes};
                        conversion.wideBlocks = wide;
                        ConvertDocumentToRtf(conversion);
                        // A whole RTF of 300 KB would be printed otherwise.
                        ASSERT_TRUE(fast.content() == reference.content())
                            << "shift " << shift << " wide " << wide;
                        ASSERT_EQ(fast.capacity, reference.capacity) << "shift " << shift;
                    }
                }
            }
            ASSERT_EQ(heap.overruns, 0) << "shift " << shift;
        }
    }
}

}  // namespace
}  // namespace brevikon
