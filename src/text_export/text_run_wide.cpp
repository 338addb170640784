// The text form's run with thirty-two-byte blocks. Everything this file
// includes is compiled as for every processor; only what it defines after the target switch
// uses AVX2, all of it but the entry with internal linkage, and the caller checks the
// processor first.
#include "text_export/text_run.h"

#if defined(BREVIKON_WIDE_BLOCKS)
#include <immintrin.h>

#include <bit>
#include <cstdint>
#include <cstring>

#include "format/document_format.h"
#include "format/nibble_classes.h"
#include "format/text_codes.h"
#include "format/text_runs.h"

#include "format/wide_target_begin.h"

namespace brevikon::text_runs {

namespace {

// Printable ASCII, the codes that change the state, and the two space codes (bit 7).
constexpr std::uint8_t PrintableBits = 0x03, StopBits = 0x1C, SpaceBit = 0x80;
constexpr NibbleRow NibbleRows[] = {
    {0x01, Halves({2, 3, 4, 5, 6}), AllHalves},
    {0x02, Halves({7}), AllBut({15})},  // 15: DEL
    {0x04, Halves({High(PageBreak)}), Halves({Low(PageBreak), Low(HardBreak)})},
    {0x08, Halves({High(EndOfText)}), Halves({Low(EndOfText), Low(Escape)})},
    {0x10, Halves({High(SoftBreak)}), Halves({Low(SoftBreak)})},
    {SpaceBit, Halves({High(AltSpace), High(SoftSpace)}), Halves({Low(AltSpace)})},
};
constexpr NibbleTables Nibbles = MakeNibbleTables(NibbleRows);

// The rows give exactly the classes ClassifyRunBlock<NoEscapedAscii> finds, byte for byte.
constexpr bool NibblesMatchTheCodes() {
    static_assert(Low(AltSpace) == Low(SoftSpace));
    for (int v = 0; v < 256; ++v) {
        const auto b = static_cast<std::uint8_t>(v);
        const std::uint8_t c = Nibbles.Of(b);
        if (((c & PrintableBits) != 0) != (b >= Space && b < 127)) return false;
        if (((c & StopBits) != 0) != ChangesTextState(b)) return false;
        if (((c & SpaceBit) != 0) != (b == AltSpace || b == SoftSpace)) return false;
    }
    return true;
}
static_assert(NibblesMatchTheCodes());

#include "format/nibble_blocks_wide.h"

using Blocks = NibbleRunBlocks<Nibbles, StopBits, PrintableBits>;

#include "text_export/text_run_loop.h"

}  // namespace

TextRun WriteTextRunWide(const TextRunForms& forms, const std::uint8_t* in, const std::uint8_t* end,
                         const std::uint8_t* imageEnd, char* out, bool paragraphOpen, bool prose) {
    if (prose) return WriteTextRun<Blocks, true>(forms, in, end, imageEnd, out, paragraphOpen);
    return WriteTextRun<Blocks, false>(forms, in, end, imageEnd, out, paragraphOpen);
}

}  // namespace brevikon::text_runs

#include "format/wide_target_end.h"

#endif
