#pragma once
// What the structure analysis finds in a file, as values rather than report text: the
// converter's manifest records them, and the plausibility verdict is judged from them.
#include <cstdint>
#include <string_view>
#include <vector>

#include "analysis/text_counts.h"
#include "format/document_format.h"

namespace brevikon {

// "zero_window", "759", "273", "0": stable names for machine-readable records.
std::string_view TextStartRuleName(TextStartRule rule);

struct DocumentFacts {
    std::int64_t length = 0;
    std::int64_t textStart = 0;
    TextStartRule textStartRule = TextStartRule::FileStart;
    bool hasHeader = false;  // the file is long enough for the header fields
    DocumentHeader header;
    // The file's first bytes (zero past its end), by which other formats are recognised.
    std::uint8_t firstBytes[8] = {};
    TextCounts counts;
    // Escape bytes from the text start on that do not begin a complete attribute escape.
    std::int64_t incompleteEscapes = 0;
    // Bytes of codes 0 to 31 other than tab, line feed, hard break and escape (the report's
    // unknown control codes; page break and end of text included, as there).
    std::int64_t unknownControlCodes = 0;
    // The end-of-text byte where reading stops (the first one at or after the text start that
    // is not the attribute or character of an escape), and how many bytes follow it.
    bool endMarkerFound = false;
    std::int64_t endMarkerOffset = 0;
    std::int64_t bytesAfterEndMarker = 0;
};

// One pass over the image (length >= 1).
void AnalyseDocument(const std::uint8_t* image, std::int64_t length, DocumentFacts& facts);

enum class Verdict { Document, Doubtful, NotADocument };

// "document", "doubtful", "not_a_document".
std::string_view VerdictName(Verdict verdict);

struct PlausibilityReason {
    std::string_view code;     // stable, English, snake_case: for the manifest
    std::u16string_view text;  // German, ASCII umlauts: for -v lines and messages
};

struct Plausibility {
    Verdict verdict = Verdict::Document;
    std::vector<PlausibilityReason> reasons;  // empty for a plain document
};

// Never changes a conversion: only says how much the file looks like a document.
Plausibility JudgePlausibility(const DocumentFacts& facts);

}  // namespace brevikon
