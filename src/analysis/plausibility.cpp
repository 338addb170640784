// Whether a file looks like a document of the word processor. The one thing this must never
// do is call a real document "not_a_document": an archivist might skip the only copy. So a
// file is called that only when its first bytes are not the editor's header AND the rest shows
// another kind of file; every other oddity makes it "doubtful" at most. A first sector or
// cluster of another file over a document's start is the damage to keep in mind: it brings
// that file's header, signature and line ends with it, so those count only where no zero of
// the editor's format block was found either.
#include <algorithm>
#include <string_view>

#include "analysis/document_facts.h"

namespace brevikon {

namespace {

// Header values the editor writes. They decide whether a file may be called
// "not_a_document" at all, so they are wide: the samples use margin 65, page length 72, 10
// characters per inch and spacing 1 or 2, while text in the header's place gives 8224 ($2020)
// and more, and the other files measured miss at least one range by far (a zero, or hundreds).
struct ValueRange {
    std::uint16_t low, high;
    bool Holds(std::uint16_t value) const { return value >= low && value <= high; }
};
// Columns: no text without one, and no printer of the time had a line of more than 255.
constexpr ValueRange RightMarginRange{1, 255};
// Lines per page: from labels of a few lines to 8 lines per inch on 22-inch continuous paper.
constexpr ValueRange PageLengthRange{1, 255};
// Printer pitches are 5 to 20; the rest is room for values the samples do not show.
constexpr ValueRange CharsPerInchRange{1, 30};
// Single to triple spacing, also if counted in half lines.
constexpr ValueRange LineSpacingRange{1, 6};

// Control codes 1 to 31 that no text of the word processor holds (all but tab, line feed, page
// break, hard break, end of text and escape), as a share of the bytes from the text start on.
// The samples and generated documents have none, damaged ones up to 1.2 %; random and
// compressed bytes have 25 of 256 (9.8 %; PNG, JPEG, ZIP and gzip measured 9.1 to 11 %),
// programs and time zone data 14 to 26 %. Zeros do not count: when the text is found at 0,
// the count runs over the editor's zero-filled format block, which holds only a dozen or so
// other such bytes (header and tab values; 7 and 8 in the samples). 5 % leaves room for a
// document with half its text replaced by binary junk.
constexpr double ForeignControlShareLimit = 0.05;
// A share of a few bytes says nothing; this is twice what a format block can hold.
constexpr std::int64_t ForeignControlMinCount = 32;

// The editor writes a line feed only after a hard or a soft break. Text files of other systems
// end lines with a line feed alone. A few loose ones come from a document itself when its text
// is found at 0 (10 characters per inch, a tab stop at column 10) or from leftover text after
// the end marker that begins with the line feed of a cut break.
constexpr std::int64_t LooseLineFeedsAllowed = 4;

// The editor writes an Escape only as the start of an attribute escape; one cut off by the
// end of a truncated file, or of the leftover after the end marker, may be left incomplete.
constexpr std::int64_t IncompleteEscapesAllowed = 1;

constexpr PlausibilityReason NoHeader{"no_header", u"Zu kurz fuer die Kopfdaten."};
constexpr PlausibilityReason HeaderOutOfRange{
    "header_out_of_range",
    u"Die Kopfdaten (Rand, Blattlaenge, Zeichen/Zoll, Zeilenabstand) liegen ausserhalb der "
    u"ueblichen Werte."};
constexpr PlausibilityReason TextStartWithoutZero{
    "text_start_fallback",
    u"Der Textbeginn liegt nicht hinter einer Null im Suchbereich; er wurde an einer "
    u"Ersatzstelle angenommen."};
constexpr PlausibilityReason NoEndMarker{"no_end_marker", u"Keine Textende-Marke ($1A)."};
constexpr PlausibilityReason IncompleteEscapes{"incomplete_escapes",
                                               u"Unvollstaendige ESC-Folgen im Text."};
constexpr PlausibilityReason ForeignControlCodes{
    "foreign_control_codes",
    u"Viele Steuerzeichen, die in keinem Text vorkommen (wie in Binaerdateien)."};
constexpr PlausibilityReason LooseLineFeeds{
    "loose_line_feeds",
    u"Zeilenvorschuebe ohne Umbruch davor (wie in Textdateien anderer Systeme)."};

// The first bytes of other kinds of file an archive holds beside the documents.
struct Signature {
    std::string_view bytes;
    PlausibilityReason reason;
};
constexpr Signature ForeignSignatures[] = {
    {"{\\rtf", {"foreign_signature", u"Beginnt wie eine RTF-Datei."}},
    {"%PDF-", {"foreign_signature", u"Beginnt wie eine PDF-Datei."}},
    {"\x89PNG", {"foreign_signature", u"Beginnt wie ein PNG-Bild."}},
    {"\xFF\xD8\xFF", {"foreign_signature", u"Beginnt wie ein JPEG-Bild."}},
    {"GIF8", {"foreign_signature", u"Beginnt wie ein GIF-Bild."}},
    {"PK\x03\x04", {"foreign_signature", u"Beginnt wie ein ZIP-Archiv."}},
    {"\x1F\x8B", {"foreign_signature", u"Beginnt wie eine gzip-Datei."}},
    {"\177ELF", {"foreign_signature", u"Beginnt wie ein Linux-Programm (ELF)."}},
    {"MZ", {"foreign_signature", u"Beginnt wie ein DOS- oder Windows-Programm."}},
    {"\xEF\xBB\xBF", {"foreign_signature", u"Beginnt wie ein UTF-8-Text."}},
    {"\xFF\xFE", {"foreign_signature", u"Beginnt wie ein UTF-16-Text."}},
    {"\xFE\xFF", {"foreign_signature", u"Beginnt wie ein UTF-16-Text."}},
};

bool HeaderInRange(const DocumentHeader& header) {
    return RightMarginRange.Holds(header.rightMargin) && PageLengthRange.Holds(header.pageLength) &&
           CharsPerInchRange.Holds(header.charsPerInch) &&
           LineSpacingRange.Holds(header.lineSpacing);
}

bool ForeignControlCodesAbound(const DocumentFacts& facts) {
    const TextCounts& counts = facts.counts;
    const std::int64_t foreign = facts.unknownControlCodes - counts.byteCounts[0] -
                                 counts.byteCounts[PageBreak] - counts.byteCounts[EndOfText];
    const std::int64_t examined = facts.length - facts.textStart;
    return foreign >= ForeignControlMinCount &&
           static_cast<double>(foreign) > ForeignControlShareLimit * static_cast<double>(examined);
}

// More loose line feeds than the editor's own breaks: the line ends of another system, not a
// few loose ones in a document or a sector of such text over its start.
bool LineEndsOfAnotherSystem(const TextCounts& counts) {
    const std::int64_t breaks = counts.byteCounts[HardBreak] + counts.byteCounts[SoftBreak];
    const std::int64_t loose = counts.byteCounts[LineFeed] - breaks;
    return loose > LooseLineFeedsAllowed && loose > breaks;
}

// Every signature holds a nonzero last byte, so the zeros past a short file's end never match.
const PlausibilityReason* ForeignSignature(const DocumentFacts& facts) {
    for (const Signature& signature : ForeignSignatures) {
        if (std::equal(signature.bytes.begin(), signature.bytes.end(), facts.firstBytes,
                       [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; })) {
            return &signature.reason;
        }
    }
    return nullptr;
}

}  // namespace

std::string_view VerdictName(Verdict verdict) {
    switch (verdict) {
        case Verdict::Document:
            return "document";
        case Verdict::Doubtful:
            return "doubtful";
        case Verdict::NotADocument:
            break;
    }
    return "not_a_document";
}

Plausibility JudgePlausibility(const DocumentFacts& facts) {
    Plausibility result;
    auto& reasons = result.reasons;
    // Too short for the header: nothing can show that the start is not a document's.
    const bool foreignHeader = facts.hasHeader && !HeaderInRange(facts.header);
    if (!facts.hasHeader) reasons.push_back(NoHeader);
    if (foreignHeader) reasons.push_back(HeaderOutOfRange);
    // A file no longer than the window's first offset has no window to search.
    if (facts.length > TextStartSearchFirst && facts.textStartRule != TextStartRule::ZeroWindow) {
        reasons.push_back(TextStartWithoutZero);
    }
    if (!facts.endMarkerFound) reasons.push_back(NoEndMarker);
    if (facts.incompleteEscapes > IncompleteEscapesAllowed) reasons.push_back(IncompleteEscapes);

    const bool formatBlockFound = facts.textStartRule == TextStartRule::ZeroWindow;
    bool foreignContent = false;
    if (ForeignControlCodesAbound(facts)) {
        reasons.push_back(ForeignControlCodes);
        foreignContent = true;
    }
    if (LineEndsOfAnotherSystem(facts.counts)) {
        reasons.push_back(LooseLineFeeds);
        foreignContent = foreignContent || !formatBlockFound;
    }
    if (const PlausibilityReason* signature = ForeignSignature(facts)) {
        reasons.push_back(*signature);
        foreignContent = foreignContent || !formatBlockFound;
    }

    if (reasons.empty()) {
        result.verdict = Verdict::Document;
    } else if (foreignHeader && foreignContent) {
        result.verdict = Verdict::NotADocument;
    } else {
        result.verdict = Verdict::Doubtful;
    }
    return result;
}

}  // namespace brevikon
