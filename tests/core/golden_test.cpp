// The bundled sample documents against their golden RTF files, and the generator's large
// documents through the converter.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "format/char_table.h"
#include "format/document_format.h"
#include "rtf/convert_document.h"
#include "tools/sample_documents.h"

namespace brevikon {
namespace {

namespace fs = std::filesystem;

const fs::path SamplesFolder = fs::path(BREVIKON_SOURCE_DIR) / "samples";

// Golden files sit next to their document: NAME.rtf for the monospace font mode and, where
// present, NAME.proportional.rtf for the proportional one.
constexpr std::string_view GoldenExtension = ".rtf";
constexpr std::string_view ProportionalGoldenEnding = ".proportional.rtf";

std::optional<std::string> ReadFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Converted {
    std::string rtf;
    std::u16string summary;
    bool complete = false;
};

Converted Convert(std::string_view bytes, std::int64_t fontMode) {
    CharTable table{};
    BuildCharTable(table);
    RtfBuffer buffer;
    std::int64_t currentAttributes = 0;
    const auto* image = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const std::u16string summary =
        ConvertDocumentToRtf({image, static_cast<std::int64_t>(bytes.size()), fontMode, &table,
                              &buffer, &currentAttributes});
    return {std::string(buffer.content()), summary, buffer.complete()};
}

Converted Convert(const std::vector<std::uint8_t>& bytes, std::int64_t fontMode) {
    return Convert(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                   fontMode);
}

// RTF around an offset, with line ends made visible.
std::string Context(std::string_view text, std::size_t offset) {
    constexpr std::size_t Reach = 40;
    const std::size_t from = offset > Reach ? offset - Reach : 0;
    std::string shown;
    for (const char c : text.substr(from, 2 * Reach)) {
        if (c == '\r') {
            shown += "<CR>";
        } else if (c == '\n') {
            shown += "<LF>";
        } else {
            shown += c;
        }
    }
    return shown;
}

// Empty when equal; otherwise where and how the produced RTF leaves the golden one.
std::string DescribeDifference(std::string_view produced, std::string_view golden) {
    if (produced == golden) return {};
    const auto mismatch =
        std::mismatch(produced.begin(), produced.end(), golden.begin(), golden.end());
    const auto offset = static_cast<std::size_t>(mismatch.first - produced.begin());
    return "first difference at byte " + std::to_string(offset) + " (produced " +
           std::to_string(produced.size()) + " bytes, golden " + std::to_string(golden.size()) +
           ")\n  produced: ..." + Context(produced, offset) + "...\n  golden:   ..." +
           Context(golden, offset) + "...";
}

// The documents carry DOS names, all upper case; everything else there is derived from them.
bool IsDocument(const fs::path& path) {
    const std::string name = path.filename().string();
    return fs::is_regular_file(path) && name.front() != '.' &&
           std::none_of(name.begin(), name.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

std::vector<fs::path> SampleDocuments() {
    std::vector<fs::path> documents;
    for (const auto& entry : fs::directory_iterator(SamplesFolder)) {
        if (IsDocument(entry.path())) documents.push_back(entry.path());
    }
    std::sort(documents.begin(), documents.end());
    return documents;
}

fs::path GoldenPath(const fs::path& document, std::string_view ending) {
    return document.parent_path() / (document.stem().string() + std::string(ending));
}

TEST(GoldenFiles, EverySampleConvertsToItsGoldenRtf) {
    const std::vector<fs::path> documents = SampleDocuments();
    ASSERT_GE(documents.size(), 2u) << "no samples in " << SamplesFolder;
    int proportionalGoldens = 0;
    for (const fs::path& document : documents) {
        SCOPED_TRACE(document.filename().string());
        const std::optional<std::string> bytes = ReadFileBytes(document);
        ASSERT_TRUE(bytes.has_value());
        const struct {
            std::string_view ending;
            std::int64_t fontMode;
            bool required;
        } modes[] = {{GoldenExtension, FontModeMonospace, true},
                     {ProportionalGoldenEnding, FontModeProportional, false}};
        for (const auto& mode : modes) {
            const fs::path goldenPath = GoldenPath(document, mode.ending);
            const std::optional<std::string> golden = ReadFileBytes(goldenPath);
            if (!golden) {
                EXPECT_FALSE(mode.required) << "missing golden file " << goldenPath;
                continue;
            }
            if (mode.fontMode == FontModeProportional) ++proportionalGoldens;
            const Converted converted = Convert(*bytes, mode.fontMode);
            EXPECT_TRUE(converted.complete);
            const std::string difference = DescribeDifference(converted.rtf, *golden);
            EXPECT_TRUE(difference.empty()) << goldenPath.filename() << ": " << difference;
        }
    }
    EXPECT_GE(proportionalGoldens, 1);
}

TEST(GoldenFiles, DescribeDifferenceNamesTheFirstDifferingByte) {
    EXPECT_EQ(DescribeDifference("abc", "abc"), "");
    EXPECT_NE(DescribeDifference("ab\r\nX", "ab\r\nY").find("byte 4 "), std::string::npos);
    EXPECT_NE(DescribeDifference("ab\r\nX", "ab\r\nY").find("ab<CR><LF>X"), std::string::npos);
    // A golden that is a prefix of the output differs where the golden ends.
    EXPECT_NE(DescribeDifference("abcd", "ab").find("byte 2 "), std::string::npos);
}

// The committed samples are exactly what make-samples writes, and the reader finds each
// text where the generator put it; the summary lines are worked out from the layouts.
TEST(BundledSamples, CommittedFilesMatchTheGenerator) {
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
    for (std::size_t k = 0; k < samples.size(); ++k) {
        const BundledSample& sample = samples[k];
        SCOPED_TRACE(sample.fileName);
        EXPECT_EQ(sample.fileName, expected[k].fileName);
        const auto& bytes = sample.document.bytes;
        EXPECT_EQ(FindTextStart(bytes.data(), static_cast<std::int64_t>(bytes.size())),
                  sample.document.textStart);
        EXPECT_EQ(Convert(bytes, FontModeMonospace).summary, expected[k].summary);
        const std::optional<std::string> committed = ReadFileBytes(SamplesFolder / sample.fileName);
        ASSERT_TRUE(committed.has_value()) << "not committed; run make-samples --samples samples";
        EXPECT_TRUE(*committed == std::string(bytes.begin(), bytes.end()))
            << "differs from the generator's output; run make-samples --samples samples";
    }
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

    const Converted converted = Convert(bytes, FontModeMonospace);
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
}

TEST(LargeDocuments, LargestDocumentConverts) {
    ExpectLargeDocumentConverts(SampleKind::Realistic, MaxDocumentSize);
}

// Columns of each line of the text, as the editor counts them: an escape is one character,
// a tab eight columns; line feeds take none. Soft-broken lines are marked.
struct TextLine {
    int columns = 0;
    bool soft = false;
};

std::vector<TextLine> MeasureLines(const GeneratedDocument& document) {
    std::vector<TextLine> lines(1);
    const auto& bytes = document.bytes;
    for (auto p = static_cast<std::size_t>(document.textStart);
         p < static_cast<std::size_t>(document.textEnd); ++p) {
        const std::uint8_t v = bytes[p];
        if (v == HardBreak || v == SoftBreak) {
            lines.back().soft = v == SoftBreak;
            lines.emplace_back();
        } else if (v == Escape && bytes[p + 1] == EscapeLetter) {
            p += AttributeEscapeLength - 1;
            ++lines.back().columns;
        } else if (v != LineFeed && v != PageBreak) {
            lines.back().columns += v == Tab ? 8 : 1;
        }
    }
    return lines;
}

// Justified text: every line the editor broke itself reaches the right margin exactly, with
// its indentation; no line passes it.
TEST(LargeDocuments, SoftBrokenLinesAreJustifiedToTheRightMargin) {
    constexpr int RightMargin = 65;
    for (const SampleKind kind : {SampleKind::Realistic, SampleKind::Attributes}) {
        const std::vector<TextLine> lines = MeasureLines(BuildLargeDocument(kind, 200000));
        int softLines = 0;
        for (const TextLine& line : lines) {
            if (line.soft) {
                ++softLines;
                ASSERT_EQ(line.columns, RightMargin);
            } else {
                ASSERT_LE(line.columns, RightMargin);
            }
        }
        EXPECT_GT(softLines, 100);
    }
}

TEST(LargeDocuments, SameKindAndSizeGiveTheSameBytes) {
    EXPECT_EQ(BuildLargeDocument(SampleKind::Attributes, 50000).bytes,
              BuildLargeDocument(SampleKind::Attributes, 50000).bytes);
}

}  // namespace
}  // namespace brevikon
