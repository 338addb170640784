#pragma once
// The document as PDF/A-2b pages as the word processor printed them: its own pitch, line
// spacing, page length and margin; a hard and a soft break each end a line, every space is
// kept (justified lines stay justified), long lines wrap, page-break codes and full pages
// start new pages; attributes as in the RTF; the fonts embedded, the text extractable.
#include <cstdint>
#include <string>
#include <string_view>

#include "format/char_table.h"
#include "format/font_mode.h"
#include "pdf/pdf_fonts.h"

namespace brevikon {

struct PdfInput {
    const std::uint8_t* image = nullptr;
    std::int64_t length = 0;
    FontMode fontMode = FontMode::Monospace;
    std::u16string_view title;  // the file name
    const CharTable* table = nullptr;
};

// The whole file into out; false when memory ran out or a font or the colour profile could
// not be read.
bool WritePdfDocument(const PdfInput& input, PdfFontSet& fonts, std::string& out);

// Superscript and subscript: smaller, raised or lowered, as office programs set them.
constexpr double RaisedSize = 0.58;
constexpr double RaisedBy = 0.33;
constexpr double LoweredBy = 0.14;

}  // namespace brevikon
