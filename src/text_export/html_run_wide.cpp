// The HTML plain run with thirty-two-byte blocks. Everything this file includes is compiled
// as for every processor; only what it defines after the target switch uses AVX2, in a
// namespace of its own, and the caller checks the processor first.
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

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

namespace brevikon {

namespace wide_blocks {

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

struct Blocks {
    static constexpr int Size = 2 * RunBlock;
    static constexpr std::uint32_t Whole = 0xFFFFFFFFu;

    static __m256i Table(const std::uint8_t (&bytes)[16]) {
        return _mm256_broadcastsi128_si256(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)));
    }

    static __m256i ClassesOf(__m256i v) {
        const __m256i lowHalves = _mm256_set1_epi8(15);
        const __m256i high = _mm256_and_si256(_mm256_srli_epi16(v, 4), lowHalves);
        return _mm256_and_si256(
            _mm256_shuffle_epi8(Table(Nibbles.high), high),
            _mm256_shuffle_epi8(Table(Nibbles.low), _mm256_and_si256(v, lowHalves)));
    }

    static std::uint32_t AnyOf(__m256i classes, std::uint8_t bits) {
        const __m256i none =
            _mm256_cmpeq_epi8(_mm256_and_si256(classes, _mm256_set1_epi8(static_cast<char>(bits))),
                              _mm256_setzero_si256());
        return ~static_cast<std::uint32_t>(_mm256_movemask_epi8(none));
    }

    static RunBlockClasses Classify(const std::uint8_t* p) {
        const __m256i classes = ClassesOf(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)));
        return {AnyOf(classes, EndBits), 0, AnyOf(classes, LiteralBits),
                static_cast<std::uint32_t>(_mm256_movemask_epi8(classes))};
    }

    static void Store(const std::uint8_t* p, char* out) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out),
                            _mm256_blendv_epi8(v, _mm256_set1_epi8(' '), ClassesOf(v)));
    }
};

#include "text_export/html_run_loop.h"

}  // namespace wide_blocks

char* AppendPlainRunBytesWide(const HtmlExporter::RunForm* forms, bool literalAscii,
                              const std::uint8_t*& p, const std::uint8_t* stop, char* o) {
    return wide_blocks::AppendRunBytes<wide_blocks::Blocks, false>(forms, literalAscii, p, stop, o);
}

}  // namespace brevikon

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#endif
