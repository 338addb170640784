#pragma once
// The document as one standalone HTML5 page (UTF-8, inline style sheet, no scripts, nothing
// loaded from elsewhere), read by the same rules as the RTF conversion: the same paragraphs,
// blanks, tabs and page breaks, and the same attributes on the same characters and spaces.
#include <array>
#include <cstdint>
#include <string_view>

#include "format/char_table.h"
#include "format/font_mode.h"
#include "format/text_pieces.h"
#include "format/wide_blocks.h"
#include "text_export/export_buffer.h"

namespace brevikon {

class HtmlExporter {
  public:
    // wideBlocks: plain text may take blocks of thirty-two bytes (the same page either way).
    explicit HtmlExporter(const CharTable& table, bool wideBlocks = WideBlocksAvailable());

    // Replaces the buffer's content with the page; title is the UTF-8 file name shown in the
    // browser. False when memory ran out. An empty image gives a page without paragraphs.
    bool Convert(const std::uint8_t* image, std::int64_t length, FontMode fontMode,
                 std::string_view title, ExportBuffer& out) const;
    // Replaces the buffer's content with the HTML of one piece: the page's start only in the
    // first, its end in the last or where the text ended (ended set: no later piece belongs
    // to the page).
    bool ConvertPiece(const std::uint8_t* image, const TextPiece& piece, FontMode fontMode,
                      std::string_view title, ExportBuffer& out, bool& ended) const;

    // The HTML text of one character (escaped where HTML needs it), padded to a fixed size.
    struct CharForm {
        char bytes[7] = {};
        std::uint8_t length = 0;
    };
    // What a byte writes inside a plain run (a paragraph open, no attribute in force or shown,
    // no soft break pending), where every byte that leaves the reading's state alone writes a
    // fixed text: its character, a blank for the space codes, nothing for line feeds and
    // unknown control codes. Tabs and the state's own codes end the run.
    struct RunForm {
        char bytes[8] = {};
        std::uint8_t length = 0;
        bool inRun = false;
    };

  private:
    std::array<CharForm, 256> forms_{};
    std::array<RunForm, 256> runForms_{};
    bool literalAscii_ = true;
    [[maybe_unused]] bool wideBlocks_;  // not read where no wide run is built
};

}  // namespace brevikon
