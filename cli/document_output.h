#pragma once
// Turns one loaded document into the bytes of the chosen output format.
#include <cstdint>
#include <string>
#include <string_view>

#include "cli/converter_options.h"
#include "format/char_table.h"
#include "rtf/rtf_buffer.h"
#include "text_export/convert_to_html.h"
#include "text_export/convert_to_text.h"
#include "text_export/export_buffer.h"

namespace brevikon {

// Reusable per worker: the character table and the buffers live as long as it does.
class DocumentOutput {
  public:
    // Converts; false when memory ran out (the output would be truncated).
    bool Produce(OutputFormat format, FontMode fontMode, const std::uint8_t* image,
                 std::int64_t length, std::u16string_view pathAsGiven);

    // The output bytes of the last successful Produce.
    std::string_view bytes() const { return bytes_; }
    // The text that the viewer's status-bar field 0 shows for this view of the document.
    const std::u16string& statusLine() const { return statusLine_; }

  private:
    static CharTable BuiltCharTable();

    CharTable charTable_ = BuiltCharTable();
    TextExporter textExporter_{charTable_};
    HtmlExporter htmlExporter_{charTable_};
    RtfBuffer rtf_;
    ExportBuffer export_;
    std::string text_;
    std::string_view bytes_;
    std::u16string statusLine_;
};

}  // namespace brevikon
