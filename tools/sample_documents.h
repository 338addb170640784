#pragma once
// Documents of the word processor as its editor writes them: the bundled samples and large
// generated documents for measurements and tests. Shared by make-samples and core_tests.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brevikon {

enum class SampleKind {
    Realistic,   // German letters and reports: umlauts, justified lines, some attributes
    Attributes,  // every character in an attribute escape, attributes changing often
    Plain,       // plain ASCII lines, each ended by a hard break
};

// One generated document and what the generator knows about it.
struct GeneratedDocument {
    std::vector<std::uint8_t> bytes;
    std::int64_t textStart = 0;  // where the text was put
    std::int64_t textEnd = 0;    // offset of the end marker, or the length without one
    std::int64_t hardBreaks = 0;
    std::int64_t pageBreaks = 0;
    std::int64_t softBreaks = 0;
    std::int64_t attributeEscapes = 0;
};

struct BundledSample {
    std::string fileName;  // an upper-case DOS name, e.g. "BRIEF.TXT"
    std::string purpose;   // one line for the listing of make-samples
    GeneratedDocument document;
};

// Large documents hold at least this many bytes, so that the text always has room.
constexpr std::int64_t LargeDocumentMinSize = 4096;
// Never larger than the viewer loads.
constexpr std::int64_t LargeDocumentMaxSize = 33554432;

// Bytes between the end marker and the end of a large document: an earlier version of the
// last paragraph, as the editor leaves it behind. It never contains this word.
constexpr std::string_view LeftoverTextMark = "ALTFASSUNG";

std::vector<BundledSample> BuildBundledSamples();

// Exactly `size` bytes (clamped to LargeDocumentMinSize..LargeDocumentMaxSize); the same
// kind and size always give the same bytes.
GeneratedDocument BuildLargeDocument(SampleKind kind, std::int64_t size);

// "realistic", "attributes" or "plain"; false for anything else.
bool ParseSampleKind(std::string_view name, SampleKind& kind);

}  // namespace brevikon
