#pragma once
// What the RTF converter's runs write with: the fixed words of paragraphs, the forms of a
// block of plain bytes, the attribute words of a change, and the turns of escapes. Shared
// by the converter and by each build of its plain run.
#include <cstdint>
#include <cstring>
#include <string_view>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "format/document_format.h"
#include "format/text_codes.h"
#include "format/text_runs.h"
#include "rtf/convert_document.h"
#include "rtf/rtf_buffer.h"

namespace brevikon::rtf_runs {

constexpr std::string_view ParagraphOpeningMonospace = "\\pard\\ql\\f0\\fs20 ";
constexpr std::string_view ParagraphOpeningProportional = "\\pard\\ql\\f1\\fs24 ";
// Both openings are as long, so a run copies either with one fixed-size copy.
constexpr std::size_t ParagraphOpeningSize = ParagraphOpeningMonospace.size();
static_assert(ParagraphOpeningProportional.size() == ParagraphOpeningSize);
constexpr std::string_view ParagraphEnd = "\\par\r\n";
// The end of a line followed by the next one's opening, copied at once by the plain run.
constexpr std::string_view LineEndMonospace = "\\par\r\n\\pard\\ql\\f0\\fs20 ";
constexpr std::string_view LineEndProportional = "\\par\r\n\\pard\\ql\\f1\\fs24 ";
constexpr std::size_t LineEndSize = LineEndMonospace.size();
static_assert(LineEndMonospace.substr(0, ParagraphEnd.size()) == ParagraphEnd &&
              LineEndMonospace.substr(ParagraphEnd.size()) == ParagraphOpeningMonospace);
static_assert(LineEndProportional.substr(0, ParagraphEnd.size()) == ParagraphEnd &&
              LineEndProportional.substr(ParagraphEnd.size()) == ParagraphOpeningProportional);

// A plain run is a stretch read while a paragraph is open, no attribute is on and no soft
// break is pending. There every byte that does not change the text state writes a fixed
// form and leaves that state as it found it, so a table lookup per byte gives exactly what
// the case analysis would.
//
using ByteForm = RtfByteForms::Form;

// Sixteen bytes as a plain run sees them. Stored to out is what each byte that becomes
// exactly one byte writes: printable ASCII other than the backslash and the braces stays
// itself, the two space codes 128 and 160 become a blank. single marks those bytes, stops the
// bytes that change the text state.
struct PlainBlock {
    std::uint32_t single = 0;
    std::uint32_t stops = 0;
};

inline PlainBlock ClassifyPlainBlock(const std::uint8_t* p, unsigned char* out) {
#if defined(__SSE2__)
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const auto is = [&v](std::uint8_t code) {
        return _mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(code)));
    };
    const __m128i special = _mm_or_si128(_mm_or_si128(is('\\'), is('{')), is('}'));
    const __m128i spaces = SpaceCodes(v);
    const __m128i single = _mm_or_si128(_mm_andnot_si128(special, PrintableAscii(v)), spaces);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), SingleBytes(v, spaces));
    const __m128i stops = StopCodes(v);
    return {static_cast<std::uint32_t>(_mm_movemask_epi8(single)),
            static_cast<std::uint32_t>(_mm_movemask_epi8(stops))};
#else
    PlainBlock block;
    for (int n = 0; n < RunBlock; ++n) {
        const std::uint8_t v = p[n];
        const bool space = v == AltSpace || v == SoftSpace;
        out[n] = space ? ' ' : v;
        if (space || (v >= 0x20 && v <= 0x7E && v != '\\' && v != '{' && v != '}'))
            block.single |= 1u << n;
        if (ChangesTextState(v)) block.stops |= 1u << n;
    }
    return block;
#endif
}

// Writes the table forms of count bytes that all stay in a plain run; returns the output's end.
inline unsigned char* WriteForms(const std::uint8_t* p, int count, const ByteForm* forms,
                                 unsigned char* out) {
    for (int n = 0; n < count; ++n) {
        const ByteForm& form = forms[p[n]];
        std::memcpy(out, form.bytes, RtfCharMaxLength);
        out += form.length;
    }
    return out;
}

// The attribute words of SetRtfAttributes as tables, one per group, so that a run can write
// a change without a test per group: entry 0 of each writes nothing (the group is unchanged).
struct AttributeWord {
    char bytes[15] = {};
    std::uint8_t length = 0;
};
static_assert(sizeof(AttributeWord) == 16);

constexpr AttributeWord Word(std::string_view text) {
    AttributeWord word;
    for (std::size_t i = 0; i < text.size(); ++i)
        word.bytes[i] = text[i];
    word.length = static_cast<std::uint8_t>(text.size());
    return word;
}

// Indexed by whether the group changed (bit 0) and whether the flag is now on (bit 1).
constexpr AttributeWord UnderlineWords[4] = {{}, Word("\\ulnone "), {}, Word("\\ul ")};
constexpr AttributeWord BoldWords[4] = {{}, Word("\\b0 "), {}, Word("\\b ")};
constexpr AttributeWord SpacingWords[4] = {{}, Word("\\expndtw0 "), {}, Word("\\expndtw60 ")};
// Indexed by 0 for an unchanged group, else 1 + which of the two flags wins (0 none, 1 the
// second, 2 the first).
constexpr AttributeWord SupersubWords[4] = {
    {}, Word("\\nosupersub "), Word("\\sub "), Word("\\super ")};
constexpr AttributeWord ScaleWords[4] = {
    {}, Word("\\charscalex100 "), Word("\\charscalex67 "), Word("\\charscalex200 ")};
// The most the five words of one change write, with the slack of their fixed-size copies.
constexpr std::int64_t AttributeWordsRoom = 5 * sizeof(AttributeWord);

inline unsigned char* WriteWord(unsigned char* out, const AttributeWord& word) {
    std::memcpy(out, word.bytes, sizeof word);
    return out + word.length;
}

// Writes what SetRtfAttributes writes for a change from `from` to `to`.
inline unsigned char* WriteAttributeWords(unsigned char* out, std::uint8_t from, std::uint8_t to) {
    const unsigned changed = from ^ to;
    const auto flag = [to](std::uint8_t bit) { return (to & bit) ? 2u : 0u; };
    const auto group = [changed](std::uint8_t bits) { return (changed & bits) ? 1u : 0u; };
    const auto pair = [to, &group](std::uint8_t first, std::uint8_t second) {
        return group(first | second) * (1u + ((to & first) ? 2u : (to & second) ? 1u : 0u));
    };
    out = WriteWord(out, UnderlineWords[group(Underline) | flag(Underline)]);
    out = WriteWord(out, BoldWords[group(Bold) | flag(Bold)]);
    out = WriteWord(out, SupersubWords[pair(Superscript, Subscript)]);
    out = WriteWord(out, ScaleWords[pair(Wide, Narrow)]);
    return WriteWord(out, SpacingWords[group(Bit20) | flag(Bit20)]);
}

// What one turn of an escaped run writes at most: the words of a change, then a form copied
// with RtfCharMaxLength bytes (with one more form's room to spare).
constexpr std::int64_t EscapedTurnRoom = AttributeWordsRoom + 2 * RtfCharMaxLength;

// The turns of an escaped run from position on, while out stays within limit: complete
// escapes and spaces, each writing the words that change the attributes from current, then its
// character or blank. Ends after the first character without an escape (plainFollows set: it
// turned every attribute off) or before the first byte that is neither.
[[gnu::always_inline]] inline unsigned char* WriteEscapes(
    const std::uint8_t* const image, const std::int64_t length, const RtfByteForms& forms,
    std::int64_t& position, unsigned char* out, unsigned char* const limit, std::uint8_t& current,
    std::uint8_t& lastEscape, bool& plainFollows) {
    // Most escapes come in words with the attributes already on, and the spaces between such
    // words carry them: both write only their characters, told by a load or two. The last
    // bytes of the text take the general turns.
    const auto escapeWord = [](const std::uint8_t* p) {
        return (p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t{p[3]} << 24);
    };
    const std::int64_t wordsEnd = length - AttributeEscapeLength - 1;
    while (position < length && out <= limit) {
        const std::uint32_t sameEscape = Escape | EscapeLetter << 8 | std::uint32_t{current} << 16;
        while (position <= wordsEnd && out <= limit) {
            const std::uint8_t* const at = image + position;
            const std::uint32_t word = escapeWord(at);
            if ((word & 0xFFFFFFu) == sameEscape) {
                const ByteForm& form = forms.escaped[word >> 24];
                std::memcpy(out, form.bytes, RtfCharMaxLength);
                out += form.length;
                lastEscape = current;
                position += AttributeEscapeLength;
            } else if (IsSpaceCode(at[0]) && (escapeWord(at + 1) & 0xFFFFFFu) == sameEscape) {
                // The attributes on are none or the last escape's, so such a space carries them.
                *out++ = ' ';
                ++position;
            } else {
                break;
            }
        }
        if (position >= length || out > limit) break;
        const std::uint8_t v = image[position];
        std::uint8_t attributes;
        const ByteForm* form;
        if (v == Escape && position + 3 < length && image[position + 1] == EscapeLetter) {
            attributes = image[position + 2];
            form = &forms.escaped[image[position + 3]];
            lastEscape = attributes;
            position += AttributeEscapeLength;
        } else if (IsSpaceCode(v)) {
            attributes = static_cast<std::uint8_t>(
                CarriedSpaceAttributes(image, length, position + 1, lastEscape));
            form = &forms.plain[Space];
            ++position;
        } else if (v > Space && !ChangesTextState(v)) {
            attributes = 0;
            form = &forms.escaped[v];
            lastEscape = 0;
            ++position;
            plainFollows = true;
        } else {
            break;
        }
        if (attributes != current) out = WriteAttributeWords(out, current, attributes);
        current = attributes;
        std::memcpy(out, form->bytes, RtfCharMaxLength);
        out += form->length;
        if (plainFollows) break;
    }
    return out;
}

}  // namespace brevikon::rtf_runs
