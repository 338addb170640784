#pragma once
// The document-to-RTF converter: paragraphs, breaks, spaces and attribute escapes of a
// document image become one complete RTF document in the RtfBuffer.
#include <array>
#include <cstdint>
#include <string>

#include "format/char_table.h"
#include "format/font_mode.h"
#include "format/status_summary.h"
#include "format/text_pieces.h"
#include "format/wide_blocks.h"
#include "rtf/rtf_buffer.h"

namespace brevikon {

// What each input byte writes, worked out once from a character table: every conversion with
// that table can share it.
struct RtfByteForms {
    // The RTF bytes of one input byte, and whether that byte may be taken by a plain run.
    struct Form {
        char bytes[RtfCharMaxLength] = {};
        std::uint8_t length = 0;
        bool inPlainRun = false;
    };
    std::array<Form, 256> plain{};    // as written inside a plain run
    std::array<Form, 256> escaped{};  // the CharTable entry through the escaping
    bool literalAscii = true;         // printable ASCII other than \\ { } is written as itself
};

RtfByteForms BuildRtfByteForms(const CharTable& table);

// Everything the converter reads and writes. The viewer points these at its AppState.
struct RtfConversion {
    const std::uint8_t* image = nullptr;  // the document image, or none
    std::int64_t length = 0;
    FontMode fontMode = FontMode::Monospace;
    const CharTable* charTable = nullptr;
    RtfBuffer* buffer = nullptr;
    std::uint8_t* currentAttributes = nullptr;  // AttributeFlags whose words were written last
    // Built from charTable; when none is given, each conversion works them out itself.
    const RtfByteForms* forms = nullptr;
    // The wide blocks where the processor has them; false keeps the sixteen-byte ones.
    bool wideBlocks = WideBlocksAvailable();
    // A converter going from file to file keeps a buffer that has not grown as it is, instead
    // of giving it back and clearing a new one of the same size for every file.
    bool keepInitialStorage = false;
};

// Resets and fills the buffer; returns the StatusSummary ("" and an empty buffer without image).
std::u16string ConvertDocumentToRtf(const RtfConversion& conversion);

// Converts one piece into the buffer, which keeps its storage from an earlier piece: the
// header only in the first, the closing brace in the last or where the text ended (ended
// set: no later piece belongs to the document). conversion.length is not read; the piece
// ends the image. False when memory ran out.
bool ConvertRtfPiece(const RtfConversion& conversion, const TextPiece& piece, bool& ended);

// Writes the attribute words of every group that changes from currentAttributes to flags.
void SetRtfAttributes(RtfBuffer& buffer, std::uint8_t& currentAttributes, std::uint8_t flags);

}  // namespace brevikon
