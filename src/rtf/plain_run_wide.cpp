// The plain run with thirty-two-byte blocks, for processors with AVX2 (the converter checks
// before it calls). Everything this file includes is compiled as for every processor; only
// what it defines after the target switch below uses AVX2, and all of that but the entry has
// internal linkage, so no shared definition can carry AVX2 instructions elsewhere.
#include "rtf/plain_run.h"

#if defined(BREVIKON_WIDE_BLOCKS)
#include <immintrin.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "format/nibble_classes.h"
#include "format/text_runs.h"
#include "rtf/rtf_runs.h"

#include "format/wide_target_begin.h"

namespace brevikon {

namespace {

// Bit 7 marks the space codes, so that it can choose the blank directly.
constexpr std::uint8_t SingleBits = 0x87, StopBits = 0x38, SpaceBit = 0x80;
constexpr NibbleRow NibbleRows[] = {
    // Printable ASCII that stays itself: the rows of the backslash and of the braces apart.
    {0x01, Halves({2, 3, 4, 6}), AllHalves},
    {0x02, Halves({High('\\')}), AllBut({Low('\\')})},
    {0x04, Halves({High('{')}), AllBut({Low('{'), Low('}'), 15})},  // 15: DEL
    {0x08, Halves({High(PageBreak)}), Halves({Low(PageBreak), Low(HardBreak)})},
    {0x10, Halves({High(EndOfText)}), Halves({Low(EndOfText), Low(Escape)})},
    {0x20, Halves({High(SoftBreak)}), Halves({Low(SoftBreak)})},
    {SpaceBit, Halves({High(AltSpace), High(SoftSpace)}), Halves({Low(AltSpace)})},
};

constexpr NibbleTables Nibbles = MakeNibbleTables(NibbleRows);

// The rows give exactly the classes ClassifyPlainBlock tests for, byte for byte.
constexpr bool NibblesMatchTheCodes() {
    static_assert(Low(AltSpace) == Low(SoftSpace) && High('}') == High('{'));
    for (int v = 0; v < 256; ++v) {
        const auto b = static_cast<std::uint8_t>(v);
        const bool printable = b >= 0x20 && b <= 0x7E && b != '\\' && b != '{' && b != '}';
        const std::uint8_t c = Nibbles.Of(b);
        const bool blank = b == AltSpace || b == SoftSpace;
        if (((c & SingleBits) != 0) != (printable || blank)) return false;
        if (((c & StopBits) != 0) != ChangesTextState(b)) return false;
        if (((c & SpaceBit) != 0) != blank) return false;
    }
    return true;
}
static_assert(NibblesMatchTheCodes());

// Thirty-two bytes as ClassifyPlainBlock judges sixteen.
#include "format/nibble_blocks_wide.h"

struct Blocks {
    static constexpr int Size = 2 * RunBlock;
    static constexpr std::uint32_t Whole = 0xFFFFFFFFu;
    using Nibble = NibbleBlock<Nibbles>;

    static rtf_runs::PlainBlock Classify(const std::uint8_t* p, unsigned char* out) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i classes = Nibble::ClassesOf(v);
        Nibble::StoreBlanked(v, classes, out);
        return {Nibble::AnyOf(classes, SingleBits), Nibble::AnyOf(classes, StopBits)};
    }

    static void Store(const std::uint8_t* p, unsigned char* out) { Nibble::StoreBlanked(p, out); }
};

#include "rtf/plain_run_loop.h"

}  // namespace

void WritePlainRunWide(PlainRun& run, bool prose) {
    if (prose) {
        PlainRunLoop<Blocks, true>(run);
    } else {
        PlainRunLoop<Blocks, false>(run);
    }
}

}  // namespace brevikon

#include "format/wide_target_end.h"

#endif
