#include "rtf/convert_document.h"

#include <array>
#include <bit>
#include <cstring>
#include <string_view>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/text.h"
#include "format/document_format.h"
#include "format/text_codes.h"
#include "format/text_runs.h"

namespace brevikon {

namespace {

constexpr std::string_view DocumentHeaderFragments[] = {
    "{\\rtf1\\ansi\\ansicpg1252\\uc1\\deff0\r\n",
    "{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset0 Courier New;}",
    "{\\f1\\froman\\fprq2\\fcharset0 Times New Roman;}}\r\n",
    "{\\colortbl;\\red0\\green0\\blue0;}\r\n",
    "\\viewkind4\\fet0\\sectd\r\n",
};
constexpr std::string_view ParagraphOpeningMonospace = "\\pard\\ql\\f0\\fs20 ";
constexpr std::string_view ParagraphOpeningProportional = "\\pard\\ql\\f1\\fs24 ";
// Both openings are as long, so a run copies either with one fixed-size copy.
constexpr std::size_t ParagraphOpeningSize = ParagraphOpeningMonospace.size();
static_assert(ParagraphOpeningProportional.size() == ParagraphOpeningSize);
constexpr std::string_view ParagraphEnd = "\\par\r\n";
constexpr std::string_view PageBreakWord = "\\page\r\n";
constexpr std::string_view TabWord = "\\tab ";
constexpr std::string_view Blank = " ";
constexpr std::string_view DocumentEnd = "}";

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

class DocumentWriter {
  public:
    DocumentWriter(const RtfConversion& conversion, const RtfByteForms& forms,
                   const TextPiece& piece)
        : image_(conversion.image),
          length_(piece.to),
          buffer_(*conversion.buffer),
          currentAttributes_(*conversion.currentAttributes),
          paragraphOpening_(conversion.fontMode == FontMode::Monospace
                                ? ParagraphOpeningMonospace
                                : ParagraphOpeningProportional),
          state_{piece.from},
          forms_(forms),
          piece_(piece),
          prose_(LooksLikeProse(image_, piece.from, length_)) {}

    // Returns whether the text ended before the piece did.
    bool Write() {
        if (piece_.first) {
            for (const auto fragment : DocumentHeaderFragments)
                AppendRtf(buffer_, fragment);
        }
        bool ended = false;
        while (state_.position < length_) {
            if (paragraphOpen_ && !state_.softBreakPending) {
                if (currentAttributes_ == 0 && state_.lastEscapeAttribute == 0) {
                    if (prose_) {
                        WritePlainRun<true>();
                    } else {
                        WritePlainRun<false>();
                    }
                }
                if (WriteEscapedRun()) continue;
                if (state_.position >= length_) break;
            }
            if (!ReadOneTextCode(image_, length_, state_, *this)) {
                ended = true;
                break;
            }
        }
        if (paragraphOpen_) CloseParagraph();
        if (piece_.last || ended) AppendRtf(buffer_, DocumentEnd);
        return ended;
    }

  private:
    void OpenParagraph() {
        if (paragraphOpen_) return;
        AppendRtf(buffer_, paragraphOpening_);
        currentAttributes_ = 0;
        paragraphOpen_ = true;
    }

    void CloseParagraph() {
        SetRtfAttributes(buffer_, currentAttributes_, 0);
        AppendRtf(buffer_, ParagraphEnd);
        paragraphOpen_ = false;  // the reader clears its own state after the step
    }

    void AppendForm(const ByteForm& form) {
        AppendRtf(buffer_, std::string_view(form.bytes, form.length));
    }

    // Copies plain bytes straight into the storage while the most one turn of the loop writes
    // is free, so no append in the run could have grown the buffer: capacity changes exactly
    // as it would byte by byte. Sixteen bytes are judged at once: copied as they stand when each
    // becomes one byte, else through the table when none changes the text state. Soft and hard
    // breaks inside the run are taken here as well, and so are empty paragraphs and the opening
    // of the next one, as long as what follows them brings the run's state back.
    template <bool Prose>
    void WritePlainRun() {
        // The most one turn writes: the forms of a block's sixteen bytes, each copied with
        // RtfCharMaxLength bytes. Fifteen forms and a paragraph's end, or a blank, take less;
        // an empty paragraph is a turn of its own, and so is the next one's opening unless the
        // whole room is still free after the end.
        constexpr std::int64_t TurnRoom = RunBlock * RtfCharMaxLength;
        static_assert(TurnRoom >= EscapedTurnRoom, "the run's escapes keep to its room");
        if (!buffer_.storage || buffer_.capacity < TurnRoom) return;
        // Locals, not members: the stores through out may alias anything, so members would be
        // read again after each of them.
        const std::uint8_t* const image = image_;
        const std::int64_t length = length_;
        const RtfByteForms& table = forms_;
        const ByteForm* const forms = table.plain.data();
        const bool literal = forms_.literalAscii;
        const char* const opening = paragraphOpening_.data();
        const auto rest = [forms](const std::uint8_t* p, int count, unsigned char* o) {
            return WriteForms(p, count, forms, o);
        };
        unsigned char* const storage = buffer_.storage;
        unsigned char* const limit = storage + (buffer_.capacity - TurnRoom);
        unsigned char* out = storage + buffer_.used;
        std::int64_t position = state_.position;
        // Blocks are judged while a second one follows (WriteMixedBlock reads that far); the
        // last bytes go through the table one by one.
        const std::int64_t blocksEnd = literal ? length - 2 * RunBlock : -1;
        bool open = true;
        bool softBreakPending = false;
        while (position < length && out <= limit) {
            if (position <= blocksEnd) {
                const std::uint8_t* const block = image + position;
                const PlainBlock classes = ClassifyPlainBlock(block, out);
                if (!classes.stops) {
                    if (!Prose && classes.single == WholeRunBlock) {
                        out += RunBlock;
                    } else {
                        out = WriteMixedBlock(block, RunBlock, ~classes.single & WholeRunBlock,
                                              forms, out, rest);
                    }
                    position += RunBlock;
                    continue;
                }
                // The bytes before the first stop, then the stop itself.
                const int count = std::countr_zero(classes.stops);
                const std::uint32_t others = ~classes.single & ((1u << count) - 1);
                if (!others) {
                    out += count;  // already stored; what lies beyond is overwritten
                } else {
                    out = WriteMixedBlock(block, count, others, forms, out, rest);
                }
                position += count;
            } else if (const ByteForm& form = forms[image[position]]; form.inPlainRun) {
                std::memcpy(out, form.bytes, RtfCharMaxLength);
                out += form.length;
                ++position;
                continue;
            }
            const std::uint8_t v = image[position];
            if (v == SoftBreak) {
                // The blank of the break; then line feeds and spaces vanish and tabs are
                // written, until a character or control code ends the soft-break state.
                *out++ = ' ';
                ++position;
                while (position < length && out <= limit) {
                    const std::uint8_t next = image[position];
                    if (next == LineFeed || IsSpaceCode(next)) {
                        ++position;
                    } else if (next == Tab) {
                        std::memcpy(out, forms[Tab].bytes, RtfCharMaxLength);
                        out += forms[Tab].length;
                        ++position;
                    } else {
                        break;
                    }
                }
                if (position >= length || out > limit || !forms[image[position]].inPlainRun) {
                    softBreakPending = true;
                    break;
                }
            } else if (v == HardBreak) {
                ++position;
                if (position < length && image[position] == LineFeed) ++position;
                std::memcpy(out, ParagraphEnd.data(), ParagraphEnd.size());
                out += ParagraphEnd.size();
                // Then a line feed writes nothing, another hard break an empty paragraph, and
                // what opens a paragraph opens it, most often at once.
                open = false;
                while (out <= limit && position < length) {
                    const std::uint8_t next = image[position];
                    if (OpensParagraph(next)) {
                        std::memcpy(out, opening, ParagraphOpeningSize);
                        out += ParagraphOpeningSize;
                        open = true;
                        break;
                    }
                    if (next == LineFeed) {
                        ++position;
                    } else if (next == HardBreak) {
                        position +=
                            position + 1 < length && image[position + 1] == LineFeed ? 2 : 1;
                        std::memcpy(out, opening, ParagraphOpeningSize);
                        std::memcpy(out + ParagraphOpeningSize, ParagraphEnd.data(),
                                    ParagraphEnd.size());
                        out += ParagraphOpeningSize + ParagraphEnd.size();
                    } else {
                        break;
                    }
                }
                if (!open) break;
            } else if (v == Escape) {
                // Escapes in the middle of plain text are the common case: taken here, the run
                // goes on after the first character without one.
                std::uint8_t current = 0, lastEscape = 0;
                bool plainFollows = false;
                out = WriteEscapes(image, length, table, position, out, limit, current, lastEscape,
                                   plainFollows);
                if (plainFollows) continue;
                currentAttributes_ = current;
                state_.lastEscapeAttribute = lastEscape;
                break;
            } else {
                break;  // a page break or the end of the text
            }
        }
        buffer_.used = out - storage;
        state_.position = position;
        state_.softBreakPending = softBreakPending;
        paragraphOpen_ = open;
    }

    bool OpensParagraph(std::uint8_t v) const {
        return forms_.plain[v].inPlainRun && (v >= Space || v == Tab);
    }

    // Complete escapes and spaces, whatever their attributes: each writes the words that change
    // the attributes, then its character or blank, and changes nothing else of the state. A
    // character without an escape ends the run: it turns every attribute off, so that a plain
    // run can take what follows; true then. The margin leaves room for the longest step, so no
    // append in the run could have grown the buffer, as in the plain run.
    bool WriteEscapedRun() {
        if (!buffer_.storage || !paragraphOpen_ || state_.softBreakPending ||
            buffer_.capacity < EscapedTurnRoom) {
            return false;
        }
        unsigned char* out = buffer_.storage + buffer_.used;
        unsigned char* const limit = buffer_.storage + (buffer_.capacity - EscapedTurnRoom);
        std::uint8_t current = currentAttributes_;
        auto lastEscape = static_cast<std::uint8_t>(state_.lastEscapeAttribute);
        std::int64_t position = state_.position;
        bool plainFollows = false;
        out = WriteEscapes(image_, length_, forms_, position, out, limit, current, lastEscape,
                           plainFollows);
        buffer_.used = out - buffer_.storage;
        currentAttributes_ = current;
        state_.lastEscapeAttribute = lastEscape;
        state_.position = position;
        return plainFollows;
    }

  public:
    // The steps of the text stream's reading, as the RTF writes them.
    void WriteHardBreak() {
        OpenParagraph();
        CloseParagraph();
    }

    void WriteSoftBreak() {
        OpenParagraph();
        SetRtfAttributes(buffer_, currentAttributes_, 0);
        AppendRtf(buffer_, Blank);
    }

    void WritePageBreak() {
        if (paragraphOpen_) CloseParagraph();
        AppendRtf(buffer_, PageBreakWord);
    }

    void WriteTab() {
        OpenParagraph();
        SetRtfAttributes(buffer_, currentAttributes_, 0);
        AppendRtf(buffer_, TabWord);
    }

    void WriteSpace(std::uint8_t carried) {
        OpenParagraph();
        SetRtfAttributes(buffer_, currentAttributes_, carried);
        AppendRtf(buffer_, Blank);
    }

    void WriteCharacter(std::uint8_t code, std::uint8_t attributes) {
        OpenParagraph();
        SetRtfAttributes(buffer_, currentAttributes_, attributes);
        AppendForm(forms_.escaped[code]);
    }

  private:
    const std::uint8_t* image_;
    std::int64_t length_;
    RtfBuffer& buffer_;
    std::uint8_t& currentAttributes_;
    std::string_view paragraphOpening_;
    TextCodeState state_;
    bool paragraphOpen_ = false;
    const RtfByteForms& forms_;
    TextPiece piece_;
    bool prose_;
};

}  // namespace

RtfByteForms BuildRtfByteForms(const CharTable& table) {
    RtfByteForms forms;
    for (int v = Space; v < 127; ++v)
        forms.literalAscii = forms.literalAscii && table[v] == v;
    for (int v = 0; v < 256; ++v) {
        ByteForm& form = forms.plain[v];
        form.length = static_cast<std::uint8_t>(FormatRtfChar(table[v], form.bytes));
        forms.escaped[v] = form;
        form.inPlainRun = !ChangesTextState(static_cast<std::uint8_t>(v));
        if (IsSpaceCode(v)) {
            form = {{' '}, 1, true};
        } else if (v == Tab) {
            form = {{'\\', 't', 'a', 'b', ' '}, 5, true};
        } else if (v < Space) {
            form.length = 0;  // line feed and unknown control codes write nothing
        }
    }
    return forms;
}

void SetRtfAttributes(RtfBuffer& buffer, std::uint8_t& currentAttributes, std::uint8_t flags) {
    if (flags == currentAttributes) return;
    const std::uint8_t changed = flags ^ currentAttributes;
    if (changed & Underline) AppendRtf(buffer, (flags & Underline) ? "\\ul " : "\\ulnone ");
    if (changed & Bold) AppendRtf(buffer, (flags & Bold) ? "\\b " : "\\b0 ");
    if (changed & (Superscript | Subscript)) {
        AppendRtf(buffer, (flags & Superscript) ? "\\super "
                          : (flags & Subscript) ? "\\sub "
                                                : "\\nosupersub ");
    }
    if (changed & (Wide | Narrow)) {
        AppendRtf(buffer, (flags & Wide)     ? "\\charscalex200 "
                          : (flags & Narrow) ? "\\charscalex67 "
                                             : "\\charscalex100 ");
    }
    if (changed & Bit20) AppendRtf(buffer, (flags & Bit20) ? "\\expndtw60 " : "\\expndtw0 ");
    currentAttributes = flags;
}

namespace {

// Writes the piece with the given forms, or with forms worked out for this call; true when the
// text ended within it.
bool WriteDocument(const RtfConversion& conversion, const TextPiece& piece) {
    if (conversion.forms) return DocumentWriter(conversion, *conversion.forms, piece).Write();
    return DocumentWriter(conversion, BuildRtfByteForms(*conversion.charTable), piece).Write();
}

}  // namespace

std::u16string ConvertDocumentToRtf(const RtfConversion& conversion) {
    ResetRtfBuffer(*conversion.buffer);
    *conversion.currentAttributes = 0;
    if (!conversion.image || conversion.length < 1) return {};
    const std::int64_t textStart = FindTextStart(conversion.image, conversion.length);
    // Without storage nothing could be written; the buffer already says so.
    if (conversion.buffer->storage) WriteDocument(conversion, {textStart, conversion.length});
    return StatusSummary(conversion.image, conversion.length, textStart);
}

bool ConvertRtfPiece(const RtfConversion& conversion, const TextPiece& piece, bool& ended) {
    RtfBuffer& buffer = *conversion.buffer;
    if (buffer.storage) {
        buffer.used = 0;
        buffer.appendLost = false;
    } else {
        ResetRtfBuffer(buffer);
    }
    *conversion.currentAttributes = 0;
    ended = false;
    if (!buffer.storage) return false;
    ended = WriteDocument(conversion, piece);
    return buffer.complete();
}

}  // namespace brevikon
