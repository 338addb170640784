// The plain run with thirty-two-byte blocks, for processors with AVX2 (the converter checks
// before it calls). Everything this file includes is compiled as for every processor; only
// what it defines after the target switch below uses AVX2, and all of that lives in a
// namespace of its own, so no shared definition can carry AVX2 instructions elsewhere.
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

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

namespace brevikon {

namespace wide_blocks {

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
struct Blocks {
    static constexpr int Size = 2 * RunBlock;
    static constexpr std::uint32_t Whole = 0xFFFFFFFFu;

    static __m256i Table(const std::uint8_t (&table)[16]) {
        return _mm256_broadcastsi128_si256(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(table)));
    }

    static __m256i ClassesOf(__m256i v) {
        const __m256i lowHalves = _mm256_set1_epi8(15);
        const __m256i high = _mm256_and_si256(_mm256_srli_epi16(v, 4), lowHalves);
        return _mm256_and_si256(
            _mm256_shuffle_epi8(Table(Nibbles.high), high),
            _mm256_shuffle_epi8(Table(Nibbles.low), _mm256_and_si256(v, lowHalves)));
    }

    // Bytes whose class has none of these bits, as a mask of 32 bits.
    static std::uint32_t NoneOf(__m256i classes, std::uint8_t bits) {
        const __m256i none =
            _mm256_cmpeq_epi8(_mm256_and_si256(classes, _mm256_set1_epi8(static_cast<char>(bits))),
                              _mm256_setzero_si256());
        return static_cast<std::uint32_t>(_mm256_movemask_epi8(none));
    }

    static rtf_runs::PlainBlock Classify(const std::uint8_t* p, unsigned char* out) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i classes = ClassesOf(v);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out),
                            _mm256_blendv_epi8(v, _mm256_set1_epi8(' '), classes));
        return {~NoneOf(classes, SingleBits), ~NoneOf(classes, StopBits)};
    }

    static void Store(const std::uint8_t* p, unsigned char* out) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out),
                            _mm256_blendv_epi8(v, _mm256_set1_epi8(' '), ClassesOf(v)));
    }
};

#include "rtf/plain_run_loop.h"

}  // namespace wide_blocks

void WritePlainRunWide(PlainRun& run, bool prose) {
    // Prose keeps the sixteen-byte blocks: there most blocks of thirty-two would hold more
    // forms than the two turns of WriteMixedBlock take.
    if (prose) {
        WritePlainRunNarrow(run, true);
    } else {
        wide_blocks::PlainRunLoop<wide_blocks::Blocks, false>(run);
    }
}

}  // namespace brevikon

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#endif
