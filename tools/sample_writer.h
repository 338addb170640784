#pragma once
// Writes a document the way the word processor's editor does: the header and format block,
// then the text with word wrap, justification by soft spaces, soft and hard breaks and
// attribute escapes. The text is given as UTF-8 markup:
//   <XX>...</>  characters with the AttributeFlags byte XX (two hex digits, never 00)
//   tab         a tab (9), part of the word it stands in
//   U+00A0      a fixed space: written as AltSpace (128), never broken at
//   U+2423      inside <XX>: a space written as an escaped character
//   ' '         a gap between words, where lines may break
// Other characters are ASCII or code page 437 letters; 128, 141 and 160 (Ç, ì, á) are only
// possible inside <XX>, since in the plain stream those bytes are space and break codes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/sample_documents.h"

namespace brevikon {

// One character of the text before it is written: its byte and its attributes (0: plain).
struct TextCell {
    std::uint8_t byte = 0;
    std::uint8_t attribute = 0;
};

// A run of cells between two gaps, measured in columns.
struct TextWord {
    std::vector<TextCell> cells;
    int width = 0;
    int spacesBefore = 1;  // blanks of the gap in front of it, kept where no line breaks
};

// Splits markup into words; aborts with a message on markup the editor could not write.
std::vector<TextWord> ParseMarkup(std::string_view markup);

// The code page 437 byte of a character the samples use; 0 when it has none.
std::uint8_t Cp437Byte(char32_t character);

// The fields the editor stores in front of the text.
struct DocumentLayout {
    std::uint16_t rightMargin = 65;
    std::uint16_t pageLength = 72;
    std::uint16_t charsPerInch = 10;
    std::uint16_t lineSpacing = 1;
    std::uint8_t headerLines = 0;
    std::uint8_t footerLines = 0;
    std::string_view headerText;  // UTF-8, without markup
    std::string_view footerText;
    // The format block ends with a zero here; a ruler line of 80 bytes follows and the text
    // starts right after it, 81 bytes after the zero.
    std::int64_t lastZero = 678;
};

struct ParagraphStyle {
    bool justify = true;
    int firstIndent = 0;    // blanks (32) before the first line
    int indent = 0;         // soft spaces (160) before every further line
    bool hardBreak = true;  // false: the paragraph runs on, e.g. into a page break
};

class SampleWriter {
  public:
    explicit SampleWriter(const DocumentLayout& layout);
    // Without a header: the text starts at offset 0.
    SampleWriter();

    // Wraps the words into lines of at most rightMargin columns and ends with a hard break.
    void WriteParagraph(const std::vector<TextWord>& words, const ParagraphStyle& style = {});
    void WriteParagraph(std::string_view markup, const ParagraphStyle& style = {});
    // The same for words given by pointer, so that large documents need no copies.
    void WriteParagraph(const std::vector<const TextWord*>& words, const ParagraphStyle& style);
    void WriteBlankLine();
    // A page break typed at the cursor: straight after the last byte written.
    void WritePageBreak();
    // Plain ASCII line ended by a hard break, no wrapping.
    void WriteHardLine(std::string_view ascii);

    std::int64_t size() const { return static_cast<std::int64_t>(document_.bytes.size()); }
    void Reserve(std::int64_t bytes) { document_.bytes.reserve(static_cast<std::size_t>(bytes)); }
    // A point to come back to: the size and the counts at that moment.
    struct Mark {
        std::int64_t size, hardBreaks, pageBreaks, softBreaks, attributeEscapes;
    };
    Mark mark() const;
    // Undoes everything written since `mark`, counts included.
    void Rewind(const Mark& mark);

    // The bytes written since `mark`, e.g. to keep them as leftover behind the end marker.
    std::string BytesSince(const Mark& mark) const;

    // Appends the end marker (unless the file is to end without one) and `leftover`, which
    // must hold no zero byte: a zero in the text-start window would move the text start.
    // Then checks that the reader finds the text where it was put; aborts if not.
    GeneratedDocument Finish(std::string_view leftover = {}, bool endMarker = true);

  private:
    void AppendWord(const TextWord& word);
    void AppendByte(std::uint8_t byte) { document_.bytes.push_back(byte); }
    void AppendRepeated(std::uint8_t byte, int count);
    template <typename WordAt>
    void WrapParagraph(std::size_t count, WordAt wordAt, const ParagraphStyle& style);

    GeneratedDocument document_;
    int rightMargin_ = 65;
    std::int64_t lineCount_ = 0;  // alternates the side that gets the extra soft spaces
};

// Aborts the generator: the samples are fixed, so any such error is the generator's own.
[[noreturn]] void SampleFailure(const std::string& message);

}  // namespace brevikon
