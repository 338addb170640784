// The HTML plain run with thirty-two-byte blocks. Everything this file includes is compiled
// as for every processor; only what it defines after the target switch uses AVX2, all of it
// but the entry with internal linkage, and the caller checks the processor first.
#include "text_export/html_run.h"

#if defined(BREVIKON_WIDE_BLOCKS)
#include <immintrin.h>

#include <bit>
#include <cstdint>
#include <cstring>

#include "format/document_format.h"
#include "format/nibble_classes.h"
#include "format/text_runs.h"
#include "text_export/html_escaped_ascii.h"

#include "format/wide_target_begin.h"

namespace brevikon {

namespace {

// Printable ASCII that the page writes as itself: each row of sixteen but its references
// and DEL. The stops and the tab end the run alike; bit 7 marks the space codes.
constexpr std::uint8_t LiteralBits = 0x0F, EndBits = 0x70, SpaceBit = 0x80;
constexpr NibbleRow NibbleRows[] = {
    {0x01, Halves({4, 5, 6}), AllHalves},
    {0x02, Halves({2}), AllBut({Low('"'), Low('&'), Low('\'')})},
    {0x04, Halves({3}), AllBut({Low('<'), Low('>')})},
    {0x08, Halves({7}), AllBut({15})},  // 15: DEL
    {0x10, Halves({High(Tab)}), Halves({Low(Tab), Low(PageBreak), Low(HardBreak)})},
    {0x20, Halves({High(EndOfText)}), Halves({Low(EndOfText), Low(Escape)})},
    {0x40, Halves({High(SoftBreak)}), Halves({Low(SoftBreak)})},
    {SpaceBit, Halves({High(AltSpace), High(SoftSpace)}), Halves({Low(AltSpace)})},
};
constexpr NibbleTables Nibbles = MakeNibbleTables(NibbleRows);

// The rows give exactly the classes ClassifyRunBlock<HtmlEscapedAscii> finds, byte for byte.
constexpr bool NibblesMatchTheCodes() {
    static_assert(High('"') == 2 && High('<') == 3 && High(PageBreak) == High(Tab) &&
                  Low(AltSpace) == Low(SoftSpace));
    for (int v = 0; v < 256; ++v) {
        const auto b = static_cast<std::uint8_t>(v);
        const bool literal = b >= Space && b < 127 && !HtmlEscapedAscii::Is(b);
        const std::uint8_t c = Nibbles.Of(b);
        if (((c & LiteralBits) != 0) != literal) return false;
        if (((c & EndBits) != 0) != (ChangesTextState(b) || b == Tab)) return false;
        if (((c & SpaceBit) != 0) != (b == AltSpace || b == SoftSpace)) return false;
    }
    return true;
}
static_assert(NibblesMatchTheCodes());

#include "format/nibble_blocks_wide.h"

using Blocks = NibbleRunBlocks<Nibbles, EndBits, LiteralBits>;

#include "text_export/html_run_loop.h"

}  // namespace

char* AppendPlainRunBytesWide(const HtmlExporter::RunForm* forms, bool literalAscii,
                              const std::uint8_t*& p, const std::uint8_t* stop, char* o,
                              HtmlRunLineEnds& lineEnds, bool prose) {
    if (prose) return AppendRunBytes<Blocks, true>(forms, literalAscii, p, stop, o, lineEnds);
    return AppendRunBytes<Blocks, false>(forms, literalAscii, p, stop, o, lineEnds);
}

}  // namespace brevikon

#include "format/wide_target_end.h"

#endif
