// The bundled sample documents against their golden RTF files, and the generator's large
// documents through the converter.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "convert.h"
#include "format/document_format.h"
#include "tools/sample_documents.h"

namespace brevikon {
namespace {

namespace fs = std::filesystem;
using test::Convert;
using test::Converted;

const fs::path SamplesFolder = fs::path(BREVIKON_SOURCE_DIR) / "samples";

std::optional<std::string> ReadFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The committed samples are exactly what make-samples writes, the reader finds each text
// where the generator put it (the summary lines are worked out from the layouts), and each
// converts to its golden RTF: NAME.rtf in monospace, NAME.proportional.rtf where present.
TEST(BundledSamples, MatchTheGeneratorAndConvertToTheirGoldenRtf) {
    const struct {
        std::string_view fileName;
        std::u16string_view summary;
    } expected[] = {
        {"BRIEF.TXT", u"Text ab 759  |  R/Rand 65  Blatt 72  10 Z/Zoll  Abstand 1"},
        {"BERICHT.DOC", u"Text ab 1081  |  R/Rand 65  Blatt 72  10 Z/Zoll  Abstand 2"},
        {"ATTRIBUT.DOC", u"Text ab 581  |  R/Rand 65  Blatt 72  10 Z/Zoll  Abstand 1"},
        {"KURZ.TXT", u"Text ab 273  |  R/Rand 65  Blatt 72  10 Z/Zoll  Abstand 1"},
        {"NOTIZ.TXT", u"Text ab 0"},
    };
    const std::vector<BundledSample> samples = BuildBundledSamples();
    ASSERT_EQ(samples.size(), std::size(expected));
    int proportionalGoldens = 0;
    for (std::size_t k = 0; k < samples.size(); ++k) {
        const BundledSample& sample = samples[k];
        SCOPED_TRACE(sample.fileName);
        EXPECT_EQ(sample.fileName, expected[k].fileName);
        const auto& bytes = sample.document.bytes;
        EXPECT_EQ(FindTextStart(bytes.data(), static_cast<std::int64_t>(bytes.size())),
                  sample.document.textStart);
        const std::optional<std::string> committed = ReadFileBytes(SamplesFolder / sample.fileName);
        ASSERT_TRUE(committed.has_value()) << "not committed; run make-samples --samples samples";
        EXPECT_TRUE(*committed == std::string(bytes.begin(), bytes.end()))
            << "differs from the generator's output; run make-samples --samples samples";

        const std::string stem = fs::path(sample.fileName).stem().string();
        for (const FontMode fontMode : {FontMode::Monospace, FontMode::Proportional}) {
            const bool monospace = fontMode == FontMode::Monospace;
            const fs::path golden =
                SamplesFolder / (stem + (monospace ? "" : ".proportional") + ".rtf");
            const std::optional<std::string> rtf = ReadFileBytes(golden);
            if (!rtf) {
                EXPECT_FALSE(monospace) << "missing golden file " << golden;
                continue;
            }
            proportionalGoldens += !monospace;
            const Converted converted = Convert(bytes, fontMode);
            EXPECT_TRUE(converted.complete);
            EXPECT_EQ(converted.summary, expected[k].summary);
            // Line by line, so that a failure shows where the RTF leaves the golden one.
            EXPECT_EQ(converted.rtf, *rtf) << golden.filename();
        }
    }
    EXPECT_GE(proportionalGoldens, 1);
}

std::size_t CountOccurrences(std::string_view text, std::string_view word) {
    std::size_t count = 0;
    for (auto at = text.find(word); at != std::string_view::npos; at = text.find(word, at + 1)) {
        ++count;
    }
    return count;
}

// Every paragraph of a large document ends with a hard break and every page break stands
// between paragraphs, so the RTF holds exactly one paragraph end per hard break and one
// page word per page break; nothing behind the end marker may show.
void ExpectLargeDocumentConverts(SampleKind kind, std::int64_t size) {
    SCOPED_TRACE("kind " + std::to_string(static_cast<int>(kind)) + ", size " +
                 std::to_string(size));
    const GeneratedDocument document = BuildLargeDocument(kind, size);
    const auto& bytes = document.bytes;
    const auto length = static_cast<std::int64_t>(bytes.size());
    ASSERT_EQ(length, size);
    EXPECT_EQ(FindTextStart(bytes.data(), length), document.textStart);
    ASSERT_LT(document.textEnd, length);
    EXPECT_EQ(bytes[static_cast<std::size_t>(document.textEnd)], EndOfText);
    EXPECT_GT(document.hardBreaks, 0);

    const Converted converted = Convert(bytes);
    ASSERT_TRUE(converted.complete);
    EXPECT_EQ(converted.summary, u"Text ab " + DecimalText(document.textStart) +
                                     u"  |  R/Rand 65  Blatt 72  10 Z/Zoll  Abstand 1");
    EXPECT_EQ(CountOccurrences(converted.rtf, "\\par\r\n"),
              static_cast<std::size_t>(document.hardBreaks));
    EXPECT_EQ(CountOccurrences(converted.rtf, "\\page\r\n"),
              static_cast<std::size_t>(document.pageBreaks));
    EXPECT_EQ(converted.rtf.find(LeftoverTextMark), std::string::npos);
    EXPECT_EQ(converted.rtf.back(), '}');
}

TEST(LargeDocuments, EveryKindConvertsWithTheTextWhereTheGeneratorPutIt) {
    for (const SampleKind kind :
         {SampleKind::Realistic, SampleKind::Attributes, SampleKind::Plain}) {
        // The smallest size keeps the whole text and the leftover inside the search window
        // for the text start, where a stray zero would mislead the reader.
        ExpectLargeDocumentConverts(kind, LargeDocumentMinSize);
        ExpectLargeDocumentConverts(kind, 300001);
    }
    ExpectLargeDocumentConverts(SampleKind::Realistic, MaxDocumentSize);
}

}  // namespace
}  // namespace brevikon
