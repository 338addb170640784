#pragma once
// The HTML plain run's blocks of thirty-two bytes, for processors with AVX2
// (WideBlocksAvailable); the sixteen-byte run in convert_to_html.cpp writes the same bytes.
#include <cstdint>

#include "format/wide_blocks.h"
#include "text_export/convert_to_html.h"

namespace brevikon {

// The ends of lines a plain run takes inside its blocks, where a line is followed by text:
// a hard break with its line feed closes the paragraph and opens the next (past an empty line
// too), and in prose a soft break with its line feed writes its blank. paragraphAt is where
// the open paragraph's text begins in the output being written (null: before it), so that an
// empty one gets its line break; taken tells that at least one end was taken.
struct HtmlRunLineEnds {
    char* paragraphAt = nullptr;
    bool taken = false;
};

#if defined(BREVIKON_WIDE_BLOCKS)
// The bytes from p on that stay in a plain run, up to stop; p ends at the first that does not.
// literalAscii: the forms write printable ASCII as itself but the references. Prose: the text
// reads like prose with umlauts (LooksLikeProse).
char* AppendPlainRunBytesWide(const HtmlExporter::RunForm* forms, bool literalAscii,
                              const std::uint8_t*& p, const std::uint8_t* stop, char* o,
                              HtmlRunLineEnds& lineEnds, bool prose);
#endif

}  // namespace brevikon
