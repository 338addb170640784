#include "analysis/document_facts.h"

#include <algorithm>
#include <cstring>

#include "format/text_codes.h"

namespace brevikon {

namespace {

// Reads the text for its end only: every step's output is dropped.
struct NoWriter {
    void WriteHardBreak() {}
    void WriteSoftBreak() {}
    void WritePageBreak() {}
    void WriteTab() {}
    void WriteSpace(std::uint8_t) {}
    void WriteCharacter(std::uint8_t, std::uint8_t) {}
};

// True when one of the (up to) three bytes before `at`, from `from` on, is an Escape: an escape
// starting there could swallow the byte at `at`.
bool EscapeJustBefore(const std::uint8_t* image, std::int64_t from, std::int64_t at) {
    const std::int64_t first = std::max(from, at - (AttributeEscapeLength - 1));
    return std::memchr(image + first, Escape, static_cast<std::size_t>(at - first)) != nullptr;
}

// The offset where every reader stops, or -1 when the text runs to the end of the file.
// memchr finds the next 26. It is the end marker unless an escape swallows it as its attribute
// or character: that is settled by reading code by code, as the readers read, from the latest
// place before it that no escape can reach into. Each stretch is read once, so hostile runs of
// escapes and 26s cost no more than the text's length.
std::int64_t FindEndMarker(const std::uint8_t* image, std::int64_t length, std::int64_t textStart) {
    TextCodeState state{textStart};  // position: always a place the readers step on
    NoWriter writer;
    while (state.position < length) {
        const void* next = std::memchr(image + state.position, EndOfText,
                                       static_cast<std::size_t>(length - state.position));
        if (!next) return -1;
        const std::int64_t offset = static_cast<const std::uint8_t*>(next) - image;
        std::int64_t resume = offset;
        while (resume > state.position && EscapeJustBefore(image, state.position, resume)) {
            --resume;
        }
        state.position = resume;
        // No 26 lies before offset, so no step stops early.
        while (state.position < offset)
            ReadOneTextCode(image, length, state, writer);
        if (state.position == offset) return offset;
    }
    return -1;
}

}  // namespace

std::string_view TextStartRuleName(TextStartRule rule) {
    switch (rule) {
        case TextStartRule::ZeroWindow:
            return "zero_window";
        case TextStartRule::Fallback759:
            return "759";
        case TextStartRule::Fallback273:
            return "273";
        case TextStartRule::FileStart:
            break;
    }
    return "0";
}

void AnalyseDocument(const std::uint8_t* image, std::int64_t length, DocumentFacts& facts) {
    facts = DocumentFacts{};
    facts.length = length;
    if (!image || length < 1) return;

    const TextStart start = FindTextStartAndRule(image, length);
    facts.textStart = start.offset;
    facts.textStartRule = start.rule;
    facts.hasHeader = ReadDocumentHeader(image, length, facts.header);
    std::memcpy(facts.firstBytes, image,
                static_cast<std::size_t>(std::min<std::int64_t>(length, sizeof facts.firstBytes)));

    // The one pass over the text; everything below is read from its counts.
    CountTextStructure(image, length, facts.textStart, facts.counts);
    const TextCounts& counts = facts.counts;
    facts.incompleteEscapes = counts.byteCounts[Escape] - counts.attributeEscapes;
    for (int code = 0; code < Space; ++code) {
        if (code == Tab || code == LineFeed || code == HardBreak || code == Escape) continue;
        facts.unknownControlCodes += counts.byteCounts[code];
    }

    const std::int64_t endMarker = FindEndMarker(image, length, facts.textStart);
    if (endMarker >= 0) {
        facts.endMarkerFound = true;
        facts.endMarkerOffset = endMarker;
        facts.bytesAfterEndMarker = length - endMarker - 1;
    }
}

}  // namespace brevikon
