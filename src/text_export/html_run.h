#pragma once
// The HTML plain run's blocks of thirty-two bytes, for plain text on processors with AVX2
// (WideBlocksAvailable); the sixteen-byte run in convert_to_html.cpp writes the same bytes.
#include <cstdint>

#include "format/wide_blocks.h"
#include "text_export/convert_to_html.h"

namespace brevikon {

#if defined(BREVIKON_WIDE_BLOCKS)
// The bytes from p on that stay in a plain run of plain text, up to stop; p ends at the first
// that does not. literalAscii: the forms write printable ASCII as itself but the references.
char* AppendPlainRunBytesWide(const HtmlExporter::RunForm* forms, bool literalAscii,
                              const std::uint8_t*& p, const std::uint8_t* stop, char* o);
#endif

}  // namespace brevikon
