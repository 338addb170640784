#pragma once
// The text form's run, built twice: with the sixteen-byte blocks every processor takes, and
// with thirty-two-byte blocks where the processor has AVX2 (WideBlocksAvailable). Both write
// the same bytes.
#include <bit>
#include <cstddef>
#include <cstdint>

#include "format/wide_blocks.h"
#include "text_export/convert_to_text.h"

namespace brevikon::text_runs {

// Whether a paragraph was opened, gathered from whole forms: the flag's bit of their words.
// A form is read as one little-endian word: its bytes, then the length, then the flags.
using Opened = std::uint64_t;
static_assert(sizeof(TextExporter::ByteForm) == sizeof(Opened));
static_assert(offsetof(TextExporter::ByteForm, length) == 4);
static_assert(std::endian::native == std::endian::little);
constexpr Opened OpensParagraphBit = Opened{1}
                                     << (8 * offsetof(TextExporter::ByteForm, opensParagraph));

struct TextRunForms {
    const TextExporter::ByteForm* plain;
    const TextExporter::ByteForm* escaped;
    bool literalAscii;
    bool spacesAsBlanks;  // both space codes write one blank (filler spaces are kept)
};

// Where a run stopped, and the state it leaves.
struct TextRun {
    const std::uint8_t* in;
    char* out;
    bool paragraphOpen;
    bool softBreakPending = false;
};

#if defined(BREVIKON_WIDE_BLOCKS)
// The run over prose or plain text (LooksLikeProse), as the sixteen-byte run writes it.
TextRun WriteTextRunWide(const TextRunForms& forms, const std::uint8_t* in, const std::uint8_t* end,
                         const std::uint8_t* imageEnd, char* out, bool paragraphOpen, bool prose);
#endif

}  // namespace brevikon::text_runs
