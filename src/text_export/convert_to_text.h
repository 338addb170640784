#pragma once
// The document as UTF-8 plain text, read by the same rules as the RTF conversion: one line
// per paragraph, soft breaks and spaces as single blanks, tabs as TAB, page breaks as form
// feeds, attributes dropped.
#include <array>
#include <cstdint>

#include "format/char_table.h"
#include "format/text_pieces.h"
#include "format/wide_blocks.h"
#include "text_export/export_buffer.h"

namespace brevikon {

// The bytes that end a paragraph and a page in the text form.
constexpr char TextParagraphEnd = '\n';
constexpr char TextPageBreak = '\f';

class TextExporter {
  public:
    // With DropFillerSpaces the spaces that justification added (code 160) are left out, so
    // a justified line reads as it was typed.
    enum Spaces { KeepAllSpaces, DropFillerSpaces };
    // wideBlocks: plain text may take blocks of thirty-two bytes (the same text either way).
    explicit TextExporter(const CharTable& table, Spaces spaces = KeepAllSpaces,
                          bool wideBlocks = WideBlocksAvailable());

    // Replaces the buffer's content with the text of the document; false when memory ran
    // out. An empty image gives an empty text.
    bool Convert(const std::uint8_t* image, std::int64_t length, ExportBuffer& out) const;
    // Replaces the buffer's content with the text of one piece; ended tells whether the text
    // ended within it (its end-of-text code), so that no later piece belongs to the text.
    bool ConvertPiece(const std::uint8_t* image, const TextPiece& piece, ExportBuffer& out,
                      bool& ended) const;

    // The text of one input byte, padded so that a fixed four-byte copy writes it; eight
    // bytes in all, so the run loop reads a form with one load.
    struct alignas(8) ByteForm {
        char bytes[4] = {};
        std::uint8_t length = 0;
        bool opensParagraph = false;
        bool inPlainRun = false;
    };

  private:
    std::array<ByteForm, 256> forms_{};         // a byte of the plain stream
    std::array<ByteForm, 256> escapedForms_{};  // the character byte of an attribute escape
    bool literalAscii_ = true;                  // printable ASCII is written as itself
    bool spacesAsBlanks_ = false;  // both space codes write one blank (filler spaces are kept)
    bool wideBlocks_;
};

}  // namespace brevikon
