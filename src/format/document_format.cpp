#include "format/document_format.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <ostream>

namespace brevikon {

bool ReadDocumentHeader(const std::uint8_t* bytes, std::int64_t length, DocumentHeader& header) {
    if (length < HeaderMinLength) return false;
    header.identifier[0] = bytes[IdentifierOffset];
    header.identifier[1] = bytes[IdentifierOffset + 1];
    header.rightMargin = ReadUint16(bytes, RightMarginOffset);
    header.pageLength = ReadUint16(bytes, PageLengthOffset);
    header.charsPerInch = ReadUint16(bytes, CharsPerInchOffset);
    header.lineSpacing = ReadUint16(bytes, LineSpacingOffset);
    header.headerLines = bytes[HeaderLinesOffset];
    header.footerLines = bytes[FooterLinesOffset];
    return true;
}

namespace {

// The offset of the last zero in bytes[first..last], or -1. Scanning from the end finds it
// first; eight bytes are tested at once, as the window is mostly the document's text.
std::int64_t FindLastZero(const std::uint8_t* bytes, std::int64_t first, std::int64_t last) {
    std::int64_t end = last + 1;  // the bytes before end are still to be tested
    while (end - first >= 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + end - 8, sizeof word);
        if (HasZeroByte(word)) break;  // a zero among these eight
        end -= 8;
    }
    for (std::int64_t i = end - 1; i >= first; --i) {
        if (bytes[i] == 0) return i;
    }
    return -1;
}

}  // namespace

TextStart FindTextStartAndRule(const std::uint8_t* bytes, std::int64_t length) {
    // The last zero of the window wins; the text starts a fixed distance after it.
    const std::int64_t lastZero =
        FindLastZero(bytes, TextStartSearchFirst, std::min(length - 1, TextStartSearchLast));
    if (lastZero >= 0) {
        const std::int64_t candidate = lastZero + TextStartAfterZero;
        if (candidate < length && bytes[candidate] >= Space)
            return {candidate, TextStartRule::ZeroWindow};
    }
    if (length > TextStartFallbackLong + 1 && bytes[TextStartFallbackLong] >= Space) {
        return {TextStartFallbackLong, TextStartRule::Fallback759};
    }
    if (length > TextStartFallbackShort + 1 && bytes[TextStartFallbackShort] >= Space) {
        return {TextStartFallbackShort, TextStartRule::Fallback273};
    }
    return {0, TextStartRule::FileStart};
}

std::int64_t FindTextStart(const std::uint8_t* bytes, std::int64_t length) {
    return FindTextStartAndRule(bytes, length).offset;
}

std::uint8_t PeekAttributeEscape(const std::uint8_t* bytes, std::int64_t length, std::int64_t p) {
    if (p + 3 >= length) return 0;
    if (bytes[p] != Escape) return 0;
    if (bytes[p + 1] != EscapeLetter) return 0;
    return bytes[p + 2];
}

std::ostream& operator<<(std::ostream& out, const DocumentHeader& header) {
    return out << "DocumentHeader{identifier=" << int(header.identifier[0]) << ','
               << int(header.identifier[1]) << " rightMargin=" << header.rightMargin
               << " pageLength=" << header.pageLength << " charsPerInch=" << header.charsPerInch
               << " lineSpacing=" << header.lineSpacing
               << " headerLines=" << int(header.headerLines)
               << " footerLines=" << int(header.footerLines) << '}';
}

}  // namespace brevikon
