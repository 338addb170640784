#pragma once
// The printable ASCII characters an HTML page writes as references rather than as themselves,
// for the HTML export's runs (the escaped set of ClassifyRunBlock).
#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace brevikon {

// The five characters a page writes as references. & and ' differ in their last bit, < and >
// in the one before, so three compares find all five in a block.
struct HtmlEscapedAscii {
    static constexpr bool Is(std::uint8_t v) {
        return v == '&' || v == '<' || v == '>' || v == '"' || v == '\'';
    }
#if defined(__SSE2__)
    static_assert(('&' | 1) == '\'' && ('<' | 2) == '>' && ('&' & 1) == 0 && ('<' & 2) == 0);
    static __m128i Mask(__m128i v) {
        const auto masked = [&v](std::uint8_t keep, char code) {
            return _mm_cmpeq_epi8(_mm_and_si128(v, _mm_set1_epi8(static_cast<char>(keep))),
                                  _mm_set1_epi8(code));
        };
        return _mm_or_si128(_mm_or_si128(masked(0xFE, '&'), masked(0xFD, '<')),
                            _mm_cmpeq_epi8(v, _mm_set1_epi8('"')));
    }
#endif
};

}  // namespace brevikon
