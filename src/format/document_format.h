#pragma once
// The layout of a Brevikon PC Textverarbeitung 1.2 document: header fields, the text start,
// the byte codes of the text stream and the four-byte attribute escape.
#include <cstdint>
#include <iosfwd>

namespace brevikon {

// Whole files up to this size are loaded; one byte more is refused.
constexpr std::int64_t MaxDocumentSize = 33554432;

// Header fields are read only from files of at least this many bytes (not 16).
constexpr std::int64_t HeaderMinLength = 19;

// Header field offsets.
constexpr std::int64_t IdentifierOffset = 0;  // two bytes
constexpr std::int64_t RightMarginOffset = 4;
constexpr std::int64_t PageLengthOffset = 6;
constexpr std::int64_t CharsPerInchOffset = 8;
constexpr std::int64_t LineSpacingOffset = 10;
constexpr std::int64_t HeaderLinesOffset = 12;
constexpr std::int64_t FooterLinesOffset = 15;

// Byte codes of the text stream.
constexpr std::uint8_t Tab = 9;
constexpr std::uint8_t LineFeed = 10;
constexpr std::uint8_t PageBreak = 12;
constexpr std::uint8_t HardBreak = 13;
constexpr std::uint8_t EndOfText = 26;
constexpr std::uint8_t Escape = 27;
constexpr std::uint8_t Space = 32;
constexpr std::uint8_t AltSpace = 128;
constexpr std::uint8_t SoftBreak = 141;
constexpr std::uint8_t SoftSpace = 160;

// An attribute escape is Escape, EscapeLetter ('S'), the AttributeFlags byte, the character.
constexpr std::uint8_t EscapeLetter = 83;
constexpr std::int64_t AttributeEscapeLength = 4;

// Bits of the AttributeFlags byte.
constexpr std::uint8_t Underline = 0x01;
constexpr std::uint8_t Bold = 0x02;
constexpr std::uint8_t Superscript = 0x04;
constexpr std::uint8_t Subscript = 0x08;
constexpr std::uint8_t Wide = 0x10;
constexpr std::uint8_t Bit20 = 0x20;
constexpr std::uint8_t Narrow = 0x40;
constexpr std::uint8_t Bit80 = 0x80;

// Text-start detection: the text begins this far after the last zero of the search window.
constexpr std::int64_t TextStartSearchFirst = 200;
constexpr std::int64_t TextStartSearchLast = 4095;
constexpr std::int64_t TextStartAfterZero = 81;
constexpr std::int64_t TextStartFallbackLong = 759;   // files of more than 760 bytes
constexpr std::int64_t TextStartFallbackShort = 273;  // files of more than 274 bytes

// The decoded header fields of a file of at least HeaderMinLength bytes.
struct DocumentHeader {
    std::uint8_t identifier[2] = {0, 0};
    std::uint16_t rightMargin = 0;
    std::uint16_t pageLength = 0;
    std::uint16_t charsPerInch = 0;
    std::uint16_t lineSpacing = 0;
    std::uint8_t headerLines = 0;
    std::uint8_t footerLines = 0;
};

// Unsigned 16-bit little-endian value at offset; the caller guarantees offset + 1 < length.
inline std::uint16_t ReadUint16(const std::uint8_t* bytes, std::int64_t offset) {
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

// False (and the header left alone) for a file shorter than HeaderMinLength.
bool ReadDocumentHeader(const std::uint8_t* bytes, std::int64_t length, DocumentHeader& header);

// Which rule of the text-start search gave the text start: a zero in the window (the
// editor's own layout), the fixed place 759 or 273, or the file's first byte.
enum class TextStartRule { ZeroWindow, Fallback759, Fallback273, FileStart };

struct TextStart {
    std::int64_t offset = 0;
    TextStartRule rule = TextStartRule::FileStart;
};

// Where the text begins (0 <= offset < length) and which rule found it. Call only with
// length >= 1.
TextStart FindTextStartAndRule(const std::uint8_t* bytes, std::int64_t length);

// Offset at which the text begins: the offset of FindTextStartAndRule.
std::int64_t FindTextStart(const std::uint8_t* bytes, std::int64_t length);

// The attribute byte of a complete escape starting exactly at p, else 0.
std::uint8_t PeekAttributeEscape(const std::uint8_t* bytes, std::int64_t length, std::int64_t p);

// The bytes whose meaning depends on or changes the paragraph and soft-break state of a
// reader: end of text, hard break, soft break, page break and the escape. Every other byte of
// the stream stands for itself wherever it occurs, so readers can take runs of them at once.
constexpr bool ChangesTextState(std::uint8_t v) {
    return v == EndOfText || v == HardBreak || v == SoftBreak || v == PageBreak || v == Escape;
}

// The three codes a reader writes as a blank. One test, not three: in the runs it falls at
// random, and each test would be a branch to guess.
constexpr bool IsSpaceCode(std::uint8_t v) {
    return (v == Space) | (v == AltSpace) | (v == SoftSpace);
}

// The space carry rule: a space (whose next byte is at `next`) keeps the attributes of the
// escape before it only when the escape right after it has the same attribute byte.
inline std::int64_t CarriedSpaceAttributes(const std::uint8_t* bytes, std::int64_t length,
                                           std::int64_t next, std::int64_t lastEscapeAttribute) {
    if (lastEscapeAttribute != 0 &&
        PeekAttributeEscape(bytes, length, next) == lastEscapeAttribute) {
        return lastEscapeAttribute;
    }
    return 0;
}

// Whether any of the eight bytes of word is 0: exact, so that eight bytes at a time can be
// tested for one code (word ^ the code in every byte).
constexpr bool HasZeroByte(std::uint64_t word) {
    constexpr std::uint64_t Ones = 0x0101010101010101u, Highs = 0x8080808080808080u;
    return ((word - Ones) & ~word & Highs) != 0;
}

// The attributes as they look in every form: bit $80 is never shown, superscript wins over
// subscript and wide over narrow, exactly as the RTF words choose.
constexpr std::uint8_t VisibleAttributes(std::uint8_t flags) {
    std::uint8_t visible = flags & static_cast<std::uint8_t>(~Bit80);
    if (visible & Superscript) visible &= static_cast<std::uint8_t>(~Subscript);
    if (visible & Wide) visible &= static_cast<std::uint8_t>(~Narrow);
    return visible;
}

std::ostream& operator<<(std::ostream& out, const DocumentHeader& header);

}  // namespace brevikon
