#pragma once
// The document-to-RTF converter: paragraphs, breaks, spaces and attribute escapes of a
// document image become one complete RTF document in the RtfBuffer.
#include <cstdint>
#include <string>

#include "format/char_table.h"
#include "format/font_mode.h"
#include "format/status_summary.h"
#include "rtf/rtf_buffer.h"

namespace brevikon {

// Everything the converter reads and writes. The viewer points these at its AppState.
struct RtfConversion {
    const std::uint8_t* image = nullptr;  // the document image, or none
    std::int64_t length = 0;
    FontMode fontMode = FontMode::Monospace;
    const CharTable* charTable = nullptr;
    RtfBuffer* buffer = nullptr;
    std::uint8_t* currentAttributes = nullptr;  // AttributeFlags whose words were written last
};

// Resets and fills the buffer; returns the StatusSummary ("" and an empty buffer without image).
std::u16string ConvertDocumentToRtf(const RtfConversion& conversion);

// Writes the attribute words of every group that changes from currentAttributes to flags.
void SetRtfAttributes(RtfBuffer& buffer, std::uint8_t& currentAttributes, std::uint8_t flags);

}  // namespace brevikon
