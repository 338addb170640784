#include "tools/sample_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "format/document_format.h"

namespace brevikon {

namespace {

// Code page 437 bytes of the non-ASCII characters the samples use. Written out here rather
// than taken from the reader's table, so that the samples check that table.
struct Cp437Letter {
    char32_t character;
    std::uint8_t byte;
};
constexpr Cp437Letter Cp437Letters[] = {
    {U'Ç', 0x80}, {U'ü', 0x81}, {U'é', 0x82}, {U'â', 0x83}, {U'ä', 0x84}, {U'à', 0x85},
    {U'ç', 0x87}, {U'ê', 0x88}, {U'è', 0x8A}, {U'ì', 0x8D}, {U'Ä', 0x8E}, {U'É', 0x90},
    {U'ô', 0x93}, {U'ö', 0x94}, {U'û', 0x96}, {U'Ö', 0x99}, {U'Ü', 0x9A}, {U'£', 0x9C},
    {U'á', 0xA0}, {U'ñ', 0xA4}, {U'¿', 0xA8}, {U'½', 0xAB}, {U'¼', 0xAC}, {U'«', 0xAE},
    {U'»', 0xAF}, {U'│', 0xB3}, {U'┤', 0xB4}, {U'┐', 0xBF}, {U'└', 0xC0}, {U'┴', 0xC1},
    {U'┬', 0xC2}, {U'├', 0xC3}, {U'─', 0xC4}, {U'┼', 0xC5}, {U'┘', 0xD9}, {U'┌', 0xDA},
    {U'ß', 0xE1}, {U'µ', 0xE6}, {U'±', 0xF1}, {U'°', 0xF8}, {U'·', 0xFA}, {U'²', 0xFD},
    {U'■', 0xFE},
};

constexpr char32_t FixedSpace = U'\u00A0';
constexpr char32_t EscapedSpace = U'\u2423';
constexpr int TabWidth = 8;

// The editor's own bytes in front of the text; the reader ignores them.
constexpr std::uint8_t Identifier[2] = {0xBE, 0x12};
constexpr std::int64_t HeaderTextOffset = 16;
constexpr std::int64_t FooterTextOffset = 96;
constexpr std::int64_t LineSlotLength = 80;
constexpr std::int64_t TabStopsOffset = 176;
constexpr int TabStopCount = 8;
constexpr std::int64_t RulerLength = TextStartAfterZero - 1;

// The source of the samples is UTF-8 written by us, so a plain decoder is enough.
std::u32string DecodeUtf8(std::string_view text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        char32_t c = extra == 0   ? lead
                     : extra == 1 ? lead & 0x1F
                     : extra == 2 ? lead & 0x0F
                                  : lead & 0x07;
        for (int k = 1; k <= extra && i + k < text.size(); ++k) {
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        out += c;
        i += 1 + extra;
    }
    return out;
}

int HexDigit(char32_t c) {
    if (c >= U'0' && c <= U'9') return static_cast<int>(c - U'0');
    if (c >= U'A' && c <= U'F') return static_cast<int>(c - U'A' + 10);
    return -1;
}

// Plain header and footer texts (no markup) as code page 437 bytes.
void PutText(std::vector<std::uint8_t>& bytes, std::int64_t offset, std::string_view text) {
    std::int64_t at = offset;
    for (const char32_t c : DecodeUtf8(text)) {
        if (at >= offset + LineSlotLength - 1) SampleFailure("header or footer text too long");
        const std::uint8_t byte = c < 0x80 ? static_cast<std::uint8_t>(c) : Cp437Byte(c);
        if (byte == 0) SampleFailure("no code page 437 byte for a header character");
        bytes[static_cast<std::size_t>(at++)] = byte;
    }
}

void PutUint16(std::vector<std::uint8_t>& bytes, std::int64_t offset, std::uint16_t value) {
    bytes[static_cast<std::size_t>(offset)] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[static_cast<std::size_t>(offset + 1)] = static_cast<std::uint8_t>(value >> 8);
}

}  // namespace

void SampleFailure(const std::string& message) {
    std::fprintf(stderr, "make-samples: %s\n", message.c_str());
    std::abort();
}

std::uint8_t Cp437Byte(char32_t character) {
    for (const auto& letter : Cp437Letters) {
        if (letter.character == character) return letter.byte;
    }
    return 0;
}

std::vector<TextWord> ParseMarkup(std::string_view markup) {
    const std::u32string text = DecodeUtf8(markup);
    std::vector<TextWord> words;
    TextWord word;
    int spaces = 0;
    std::uint8_t attribute = 0;
    auto addCell = [&](std::uint8_t byte, std::uint8_t cellAttribute, int width) {
        if (word.cells.empty()) word.spacesBefore = spaces;
        spaces = 0;
        word.cells.push_back({byte, cellAttribute});
        word.width += width;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (c == U'<') {
            if (text.compare(i, 3, U"</>") == 0) {
                attribute = 0;
                i += 2;
                continue;
            }
            if (i + 3 >= text.size() || text[i + 3] != U'>' || HexDigit(text[i + 1]) < 0 ||
                HexDigit(text[i + 2]) < 0) {
                SampleFailure("bad attribute tag in: " + std::string(markup));
            }
            attribute =
                static_cast<std::uint8_t>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            if (attribute == 0) SampleFailure("attribute 00 is written as plain text");
            i += 3;
            continue;
        }
        if (c == U' ') {
            if (!word.cells.empty()) {
                words.push_back(std::move(word));
                word = {};
            }
            ++spaces;
            continue;
        }
        if (c == U'\t') {
            addCell(Tab, 0, TabWidth);
        } else if (c == FixedSpace) {
            addCell(AltSpace, 0, 1);
        } else if (c == EscapedSpace) {
            if (attribute == 0) SampleFailure("escaped space outside an attribute");
            addCell(Space, attribute, 1);
        } else {
            const std::uint8_t byte =
                (c > 32 && c < 127) ? static_cast<std::uint8_t>(c) : Cp437Byte(c);
            if (byte == 0)
                SampleFailure("no code page 437 byte for a character in: " + std::string(markup));
            if (attribute == 0 && (byte == AltSpace || byte == SoftBreak || byte == SoftSpace)) {
                SampleFailure("a space or break code written as a letter in: " +
                              std::string(markup));
            }
            addCell(byte, attribute, 1);
        }
    }
    if (!word.cells.empty()) words.push_back(std::move(word));
    return words;
}

SampleWriter::SampleWriter() = default;

SampleWriter::SampleWriter(const DocumentLayout& layout) : rightMargin_(layout.rightMargin) {
    const std::int64_t tabStopsEnd = TabStopsOffset + TabStopCount;
    if (layout.lastZero < tabStopsEnd) SampleFailure("format block too short");
    auto& bytes = document_.bytes;
    bytes.assign(static_cast<std::size_t>(layout.lastZero + 1), 0);
    bytes[0] = Identifier[0];
    bytes[1] = Identifier[1];
    bytes[2] = 1;  // format revision
    PutUint16(bytes, RightMarginOffset, layout.rightMargin);
    PutUint16(bytes, PageLengthOffset, layout.pageLength);
    PutUint16(bytes, CharsPerInchOffset, layout.charsPerInch);
    PutUint16(bytes, LineSpacingOffset, layout.lineSpacing);
    bytes[HeaderLinesOffset] = layout.headerLines;
    PutUint16(bytes, HeaderLinesOffset + 1, 1);  // number of the first page
    bytes[FooterLinesOffset] = layout.footerLines;
    PutText(bytes, HeaderTextOffset, layout.headerText);
    PutText(bytes, FooterTextOffset, layout.footerText);
    for (int k = 0; k < TabStopCount; ++k) {
        bytes[static_cast<std::size_t>(TabStopsOffset + k)] =
            static_cast<std::uint8_t>(TabWidth * (k + 1));
    }
    // The ruler the editor shows above the text: left margin, tab stops, right margin.
    for (std::int64_t column = 1; column <= RulerLength; ++column) {
        std::uint8_t mark = '-';
        if (column == 1) mark = 'L';
        if (column % TabWidth == 1 && column > 1) mark = '!';
        if (column == layout.rightMargin) mark = 'R';
        bytes.push_back(mark);
    }
    document_.textStart = size();
}

void SampleWriter::AppendRepeated(std::uint8_t byte, int count) {
    document_.bytes.insert(document_.bytes.end(), static_cast<std::size_t>(count), byte);
}

void SampleWriter::AppendWord(const TextWord& word) {
    for (const TextCell& cell : word.cells) {
        if (cell.attribute == 0) {
            AppendByte(cell.byte);
            continue;
        }
        const std::uint8_t escape[AttributeEscapeLength] = {Escape, EscapeLetter, cell.attribute,
                                                            cell.byte};
        document_.bytes.insert(document_.bytes.end(), escape, escape + AttributeEscapeLength);
        ++document_.attributeEscapes;
    }
}

// Fills each line with as many words as fit, then spreads the missing columns as soft
// spaces over its gaps, from the left on one line and from the right on the next, as the
// editor does so that the wider gaps do not pile up on one side.
template <typename WordAt>
void SampleWriter::WrapParagraph(std::size_t count, WordAt wordAt, const ParagraphStyle& style) {
    std::size_t i = 0;
    bool firstLine = true;
    while (i < count) {
        const int indent = firstLine ? style.firstIndent : style.indent;
        const int available = rightMargin_ - indent;
        int width = wordAt(i).width;
        std::size_t j = i + 1;
        while (j < count) {
            const int gap = std::max(1, wordAt(j).spacesBefore);
            if (width + gap + wordAt(j).width > available) break;
            width += gap + wordAt(j).width;
            ++j;
        }
        const bool lastLine = j == count;
        AppendRepeated(firstLine ? Space : SoftSpace, indent);
        const int gaps = static_cast<int>(j - i - 1);
        const int extra =
            (style.justify && !lastLine && gaps > 0) ? std::max(0, available - width) : 0;
        for (std::size_t k = i; k < j; ++k) {
            if (k > i) {
                AppendRepeated(Space, std::max(1, wordAt(k).spacesBefore));
                const int gapIndex = static_cast<int>(k - i - 1);
                const int remainder = gaps > 0 ? extra % gaps : 0;
                const bool getsOneMore =
                    (lineCount_ % 2 == 0) ? gapIndex < remainder : gapIndex >= gaps - remainder;
                AppendRepeated(SoftSpace, (gaps > 0 ? extra / gaps : 0) + (getsOneMore ? 1 : 0));
            }
            AppendWord(wordAt(k));
        }
        ++lineCount_;
        if (!lastLine) {
            AppendByte(SoftBreak);
            AppendByte(LineFeed);
            ++document_.softBreaks;
        } else if (style.hardBreak) {
            AppendByte(HardBreak);
            AppendByte(LineFeed);
            ++document_.hardBreaks;
        }
        firstLine = false;
        i = j;
    }
    if (count == 0 && style.hardBreak) WriteBlankLine();
}

void SampleWriter::WriteParagraph(const std::vector<TextWord>& words, const ParagraphStyle& style) {
    WrapParagraph(
        words.size(), [&](std::size_t k) -> const TextWord& { return words[k]; }, style);
}

void SampleWriter::WriteParagraph(const std::vector<const TextWord*>& words,
                                  const ParagraphStyle& style) {
    WrapParagraph(
        words.size(), [&](std::size_t k) -> const TextWord& { return *words[k]; }, style);
}

void SampleWriter::WriteParagraph(std::string_view markup, const ParagraphStyle& style) {
    WriteParagraph(ParseMarkup(markup), style);
}

void SampleWriter::WriteBlankLine() {
    AppendByte(HardBreak);
    AppendByte(LineFeed);
    ++document_.hardBreaks;
}

void SampleWriter::WritePageBreak() {
    AppendByte(PageBreak);
    ++document_.pageBreaks;
}

void SampleWriter::WriteHardLine(std::string_view ascii) {
    document_.bytes.insert(document_.bytes.end(), ascii.begin(), ascii.end());
    WriteBlankLine();
}

SampleWriter::Mark SampleWriter::mark() const {
    return {size(), document_.hardBreaks, document_.pageBreaks, document_.softBreaks,
            document_.attributeEscapes};
}

void SampleWriter::Rewind(const Mark& mark) {
    document_.bytes.resize(static_cast<std::size_t>(mark.size));
    document_.hardBreaks = mark.hardBreaks;
    document_.pageBreaks = mark.pageBreaks;
    document_.softBreaks = mark.softBreaks;
    document_.attributeEscapes = mark.attributeEscapes;
}

std::string SampleWriter::BytesSince(const Mark& mark) const {
    return std::string(document_.bytes.begin() + mark.size, document_.bytes.end());
}

GeneratedDocument SampleWriter::Finish(std::string_view leftover, bool endMarker) {
    document_.textEnd = size();
    if (endMarker) AppendByte(EndOfText);
    for (const char c : leftover) {
        if (c == 0) SampleFailure("a zero byte behind the end marker");
        AppendByte(static_cast<std::uint8_t>(c));
    }
    const std::int64_t found = FindTextStart(document_.bytes.data(), size());
    if (found != document_.textStart) {
        SampleFailure("text put at " + std::to_string(document_.textStart) +
                      " but the reader finds it at " + std::to_string(found));
    }
    return std::move(document_);
}

}  // namespace brevikon
