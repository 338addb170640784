#pragma once
// Sixteen bytes of the text stream classified at once, for the readers' runs: which bytes
// end a run (they change the text state), which are tabs, and which are printable ASCII that
// a form writes as itself (all but the characters it escapes). SSE2 is part of every x86-64
// processor; elsewhere the same answer comes byte by byte.
#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "format/document_format.h"

namespace brevikon {

constexpr int RunBlock = 16;
constexpr std::uint32_t WholeRunBlock = (1u << RunBlock) - 1;

struct RunBlockClasses {
    std::uint32_t stops = 0;      // bit n: byte n changes the text state
    std::uint32_t tabs = 0;       // bit n: byte n is a tab
    std::uint32_t printable = 0;  // bit n: byte n is 32..126 and none of the escaped
};

template <char... Escaped>
inline RunBlockClasses ClassifyRunBlock(const std::uint8_t* p) {
#if defined(__SSE2__)
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const auto is = [&v](std::uint8_t code) {
        return _mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(code)));
    };
    const __m128i stops = _mm_or_si128(_mm_or_si128(_mm_or_si128(is(EndOfText), is(HardBreak)),
                                                    _mm_or_si128(is(SoftBreak), is(PageBreak))),
                                       is(Escape));
    // Signed compares: bytes from 128 up are negative, so they fail the first test.
    __m128i printable = _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8(Space - 1)),
                                      _mm_cmplt_epi8(v, _mm_set1_epi8(127)));
    ((printable = _mm_andnot_si128(is(static_cast<std::uint8_t>(Escaped)), printable)), ...);
    return {static_cast<std::uint32_t>(_mm_movemask_epi8(stops)),
            static_cast<std::uint32_t>(_mm_movemask_epi8(is(Tab))),
            static_cast<std::uint32_t>(_mm_movemask_epi8(printable))};
#else
    RunBlockClasses classes;
    for (int n = 0; n < RunBlock; ++n) {
        const std::uint8_t v = p[n];
        if (ChangesTextState(v)) classes.stops |= 1u << n;
        if (v == Tab) classes.tabs |= 1u << n;
        if (v >= Space && v < 127 && ((v != static_cast<std::uint8_t>(Escaped)) && ...))
            classes.printable |= 1u << n;
    }
    return classes;
#endif
}

// Whether the count bytes from byte first on are all printable.
inline bool AllPrintable(const RunBlockClasses& classes, int first, int count) {
    const std::uint32_t range = ((1u << count) - 1) << first;
    return (classes.printable & range) == range;
}

}  // namespace brevikon
