#pragma once
// Sixteen bytes of the text stream classified at once, for the readers' runs: which bytes
// end a run (they change the text state), which are tabs, which are printable ASCII that
// a form writes as itself (all but the characters it escapes), and which are the two space
// codes. SSE2 is part of every x86-64 processor; elsewhere the same answer comes byte by byte.
// Also the writing of a block where most bytes become one byte and a few need their forms.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
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
    std::uint32_t spaces = 0;     // bit n: byte n is AltSpace or SoftSpace
};

#if defined(__SSE2__)
// The codes that change the text state come in two pairs that differ in their last bit, and
// the soft break; the two space codes differ in one bit too. Each test is one compare fewer.
static_assert((PageBreak | 1) == HardBreak && (PageBreak & 1) == 0);
static_assert((EndOfText | 1) == Escape && (EndOfText & 1) == 0);
static_assert((AltSpace | 0x20) == SoftSpace && (AltSpace & 0x20) == 0);

inline __m128i StopCodes(__m128i v) {
    const __m128i pairs = _mm_and_si128(v, _mm_set1_epi8(static_cast<char>(0xFE)));
    return _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi8(pairs, _mm_set1_epi8(static_cast<char>(PageBreak))),
                     _mm_cmpeq_epi8(pairs, _mm_set1_epi8(static_cast<char>(EndOfText)))),
        _mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(SoftBreak))));
}

inline __m128i SpaceCodes(__m128i v) {
    return _mm_cmpeq_epi8(_mm_and_si128(v, _mm_set1_epi8(static_cast<char>(0xDF))),
                          _mm_set1_epi8(static_cast<char>(AltSpace)));
}

// 32..126: moved up by 96 these are exactly the bytes below -33 as signed bytes.
inline __m128i PrintableAscii(__m128i v) {
    return _mm_cmplt_epi8(_mm_add_epi8(v, _mm_set1_epi8(96)), _mm_set1_epi8(-33));
}
#endif

// The ASCII characters a form writes as references rather than as themselves: none.
struct NoEscapedAscii {
    static constexpr bool Is(std::uint8_t) { return false; }
#if defined(__SSE2__)
    static __m128i Mask(__m128i) {
        return _mm_setzero_si128();
    }
#endif
};

// EscapedAscii says which printable characters the form escapes (Is, and Mask for a block).
template <typename EscapedAscii>
inline RunBlockClasses ClassifyRunBlock(const std::uint8_t* p) {
#if defined(__SSE2__)
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i printable = _mm_andnot_si128(EscapedAscii::Mask(v), PrintableAscii(v));
    return {static_cast<std::uint32_t>(_mm_movemask_epi8(StopCodes(v))),
            static_cast<std::uint32_t>(
                _mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(Tab))))),
            static_cast<std::uint32_t>(_mm_movemask_epi8(printable)),
            static_cast<std::uint32_t>(_mm_movemask_epi8(SpaceCodes(v)))};
#else
    RunBlockClasses classes;
    for (int n = 0; n < RunBlock; ++n) {
        const std::uint8_t v = p[n];
        if (ChangesTextState(v)) classes.stops |= 1u << n;
        if (v == Tab) classes.tabs |= 1u << n;
        if (v >= Space && v < 127 && !EscapedAscii::Is(v)) classes.printable |= 1u << n;
        if (v == AltSpace || v == SoftSpace) classes.spaces |= 1u << n;
    }
    return classes;
#endif
}

// Whether the count bytes from byte first on are all printable.
inline bool AllPrintable(const RunBlockClasses& classes, int first, int count) {
    const std::uint32_t range = ((1u << count) - 1) << first;
    return (classes.printable & range) == range;
}

#if defined(__SSE2__)
// The sixteen bytes as a run writes those that become one byte: the space codes marked in
// spaces as a blank, every other byte as it stands.
inline __m128i SingleBytes(__m128i v, __m128i spaces) {
    return _mm_or_si128(_mm_andnot_si128(spaces, v), _mm_and_si128(spaces, _mm_set1_epi8(' ')));
}
#endif

// Stores the sixteen bytes from p on as SingleBytes gives them.
template <typename Out>
inline void StoreSingleBytes(const std::uint8_t* p, Out* out) {
#if defined(__SSE2__)
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), SingleBytes(v, SpaceCodes(v)));
#else
    for (int n = 0; n < RunBlock; ++n)
        out[n] = static_cast<Out>(p[n] == AltSpace || p[n] == SoftSpace ? ' ' : p[n]);
#endif
}

// Writes the count first bytes of a block whose bytes StoreSingleBytes already stored at out,
// where the bytes marked in others need their forms and all the rest are single: each form is
// written over its byte, and the stretch after it stored again from the image. The first form
// takes the same steps whether it is there or not: in prose about every other block holds one,
// at random, which no branch could guess. A second is rarer (one block of sixteen bytes in
// eight or so), and takes its turn only where it is there, and so does a third in a block of
// thirty-two (one in eight of prose); from the next on, rest(from, count, out) writes the
// bytes left through the table.
// Reads 2 * RunBlock bytes of the image from block on, and stores up to sizeof(Form::bytes)
// and RunBlock bytes beyond what it writes.
// seen(form, there) hears of each turn's form, there 0 for a turn without one. Blocks wider
// than RunBlock (count up to 32) give store(p, out), which stores a block as StoreSingleBytes
// does, and then read and store twice their width.
struct NoFormSeen {
    template <typename Form>
    void operator()(const Form&, std::uint32_t) const {}
};

struct StoreRunBlock {
    template <typename Out>
    void operator()(const std::uint8_t* p, Out* out) const {
        StoreSingleBytes(p, out);
    }
};

// Inlined wherever it is called: a wide run's rest and store are compiled for AVX2, and can
// be inlined only where the whole block is, in the wide run itself. Turns: the forms a block
// takes before the rest goes through the table; the first SureTurns of them are taken whether
// their form is there or not.
template <int Turns = 2, int SureTurns = 1, typename Form, typename Out, typename Rest,
          typename Seen = NoFormSeen, typename Store = StoreRunBlock>
[[gnu::always_inline]] inline Out* WriteMixedBlockInlined(const std::uint8_t* block, int count,
                                                          std::uint32_t others, const Form* forms,
                                                          Out* out, Rest rest, Seen seen = {},
                                                          Store store = {}) {
    int done = 0;
#pragma GCC unroll 3
    for (int turn = 0; turn < Turns; ++turn) {
        const std::uint32_t has = others != 0;
        const int n = std::countr_zero(others | (std::uint64_t{1} << count));
        out += n - done;
        const Form& form = forms[block[n]];
        std::memcpy(out, form.bytes, sizeof form.bytes);
        out += form.length & -static_cast<int>(has);
        seen(form, has);
        done = n + static_cast<int>(has);
        store(block + done, out);
        others &= others - 1;
        if (turn + 1 >= SureTurns && !others) break;
    }
    if (others) [[unlikely]]
        return rest(block + done, count - done, out);
    return out + (count - done);
}

// The same where the compiler chooses whether to inline it.
template <typename Form, typename Out, typename Rest, typename Seen = NoFormSeen,
          typename Store = StoreRunBlock>
inline Out* WriteMixedBlock(const std::uint8_t* block, int count, std::uint32_t others,
                            const Form* forms, Out* out, Rest rest, Seen seen = {},
                            Store store = {}) {
    return WriteMixedBlockInlined(block, count, others, forms, out, rest, seen, store);
}

// WriteMixedBlock for a run over blocks of Size bytes: the wide runs take it inlined, with a
// third turn for their twice as many forms. There the second form is as likely as not, and
// SureWideTurns 2 takes its turn without the test a branch would guess wrong half the time
// (the RTF and HTML runs gain by it; the text form measured slower with it).
template <int Size, int SureWideTurns = 1, typename... Arguments>
[[gnu::always_inline]] inline auto WriteMixedBlockOf(Arguments... arguments) {
    if constexpr (Size > RunBlock) {
        return WriteMixedBlockInlined<3, SureWideTurns>(arguments...);
    } else {
        return WriteMixedBlock(arguments...);
    }
}

// Sixteen-byte blocks as a run's loop takes them (Size, Whole, Classify, Store), with the
// escaped set of ClassifyRunBlock.
template <typename EscapedAscii>
struct RunBlocks {
    static constexpr int Size = RunBlock;
    static constexpr std::uint32_t Whole = WholeRunBlock;
    static RunBlockClasses Classify(const std::uint8_t* p) {
        return ClassifyRunBlock<EscapedAscii>(p);
    }
    static void Store(const std::uint8_t* p, char* out) { StoreSingleBytes(p, out); }
};

// Whether the text from `from` on reads like prose with umlauts rather than plain ASCII, by
// its first kilobytes: at least one block in eight holds a byte from 128 up. There blocks
// with a form or two come and go at random, which no branch can guess, so the runs write
// every block the same way; in plain text the blocks copied as they stand take a shorter
// way. Both ways write the same bytes.
inline bool LooksLikeProse(const std::uint8_t* image, std::int64_t from, std::int64_t length) {
    constexpr std::int64_t SampleSize = 4096;
    const std::int64_t end = std::min(length, from + SampleSize);
    int blocks = 0, prose = 0;
    for (std::int64_t at = from; at + RunBlock <= end; at += RunBlock) {
        std::uint32_t high = 0;
        for (int n = 0; n < RunBlock; ++n)
            high |= image[at + n] & 0x80u;
        ++blocks;
        prose += high != 0;
    }
    return blocks > 0 && prose * 8 >= blocks;
}

}  // namespace brevikon
