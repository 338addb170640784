#pragma once
// The RTF converter's plain run, built twice: with the sixteen-byte blocks every processor
// takes, and with thirty-two-byte blocks where the processor has AVX2. Both write
// the same bytes; the converter asks once per conversion which one this processor can run.
#include <cstdint>

#include "format/wide_blocks.h"
#include "rtf/convert_document.h"

namespace brevikon {

// What a plain run reads, and where it leaves the state of the conversion.
struct PlainRun {
    const std::uint8_t* image = nullptr;
    std::int64_t length = 0;
    const RtfByteForms* forms = nullptr;
    const char* opening = nullptr;  // the paragraph opening of the font mode
    const char* lineEnd = nullptr;  // a paragraph's end followed by that opening
    unsigned char* storage = nullptr;
    std::int64_t capacity = 0;
    std::int64_t used = 0;      // in and out
    std::int64_t position = 0;  // in and out
    bool open = true;           // in and out: a paragraph is open
    bool softBreakPending = false;
    // Out: the run ended inside escapes, with these attributes on and this last escape's.
    bool endedInEscapes = false;
    std::uint8_t currentAttributes = 0;
    std::uint8_t lastEscapeAttribute = 0;
};

// Prose: the text reads like prose with umlauts (LooksLikeProse).
void WritePlainRunNarrow(PlainRun& run, bool prose);
#if defined(BREVIKON_WIDE_BLOCKS)
void WritePlainRunWide(PlainRun& run, bool prose);
#endif

}  // namespace brevikon
