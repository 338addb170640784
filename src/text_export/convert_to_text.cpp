#include "text_export/convert_to_text.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>

#include "format/document_format.h"
#include "format/text_codes.h"
#include "format/text_runs.h"
#include "text_export/character_forms.h"

namespace brevikon {

namespace {

// The most text one input byte can give: a character's three UTF-8 bytes.
constexpr std::size_t MaxBytesPerInputByte = 3;
// The final paragraph end, and the slack that the fixed four-byte copies run into.
constexpr std::size_t TextSlack = 8;
// The smallest room a streamed step reserves, however small the block asked for.
constexpr std::size_t MinimumStreamStep = 4096;

}  // namespace

TextExporter::TextExporter(const CharTable& table, Spaces spaces) {
    for (int v = 0; v < 256; ++v) {
        const auto byte = static_cast<std::uint8_t>(v);
        ByteForm& escaped = escapedForms_[v];
        escaped.length = static_cast<std::uint8_t>(FormatUtf8Char(table[v], escaped.bytes));
        escaped.opensParagraph = true;

        ByteForm& form = forms_[v];
        form.inPlainRun = !ChangesTextState(byte);
        if (IsSpaceCode(v)) {
            form.bytes[0] = ' ';
            form.length = 1;
            form.opensParagraph = true;
            if (v == SoftSpace && spaces == DropFillerSpaces) form = {{}, 0, false, true};
        } else if (v == Tab) {
            form.bytes[0] = '\t';
            form.length = 1;
            form.opensParagraph = true;
        } else if (v >= Space) {
            std::memcpy(form.bytes, escaped.bytes, sizeof form.bytes);
            form.length = escaped.length;
            form.opensParagraph = true;  // also 127, which writes nothing
        }
        // Line feeds and unknown control codes write nothing and open nothing.
    }
    for (int v = Space; v < 127; ++v) {
        const ByteForm& form = forms_[v];
        literalAscii_ = literalAscii_ && form.length == 1 && form.bytes[0] == static_cast<char>(v);
    }
    const auto blank = [this](std::uint8_t v) {
        return forms_[v].length == 1 && forms_[v].bytes[0] == ' ';
    };
    spacesAsBlanks_ = blank(AltSpace) && blank(SoftSpace);
}

namespace {

// Whether a paragraph was opened, gathered from whole forms: the flag's bit of their words.
// A form is read as one little-endian word: its bytes, then the length, then the flags.
using Opened = std::uint64_t;
static_assert(sizeof(TextExporter::ByteForm) == sizeof(Opened));
static_assert(offsetof(TextExporter::ByteForm, length) == 4);
static_assert(std::endian::native == std::endian::little);
constexpr Opened OpensParagraphBit = Opened{1}
                                     << (8 * offsetof(TextExporter::ByteForm, opensParagraph));

// Writes the forms of count bytes that all stay in the run; returns the end of the output.
template <int Count>
inline char* WriteRunBytes(const std::uint8_t* p, int count, const TextExporter::ByteForm* forms,
                           char* o, Opened& opened) {
#pragma GCC unroll 16
    for (int n = 0; n < (Count ? Count : count); ++n) {
        Opened word;
        std::memcpy(&word, &forms[p[n]], sizeof word);
        const auto bytes = static_cast<std::uint32_t>(word);
        std::memcpy(o, &bytes, sizeof bytes);
        o += (word >> 32) & 0xFF;
        opened |= word;
    }
    return o;
}

struct TextRunForms {
    const TextExporter::ByteForm* plain;
    const TextExporter::ByteForm* escaped;
    bool literalAscii;
    bool spacesAsBlanks;  // both space codes write one blank (filler spaces are kept)
};

// The forms of a few bytes of a block over its single bytes (WriteMixedBlock), with the
// paragraph they open: any single byte opens one, a form by its flag. Unless every block is to
// take the same steps, a block of single bytes alone is only stored.
template <bool SameSteps>
inline char* WriteMixedTextBytes(const std::uint8_t* p, int count, std::uint32_t single,
                                 const TextExporter::ByteForm* forms, char* o, Opened& opened) {
    const std::uint32_t range = (1u << count) - 1;
    opened |= (single & range) ? OpensParagraphBit : 0;
    StoreSingleBytes(p, o);
    if (!SameSteps && !(~single & range)) return o + count;
    return WriteMixedBlock(
        p, count, ~single & range, forms, o,
        [forms, &opened](const std::uint8_t* from, int rest, char* to) {
            return WriteRunBytes<0>(from, rest, forms, to, opened);
        },
        [&opened](const TextExporter::ByteForm& form, std::uint32_t there) {
            Opened word;
            std::memcpy(&word, &form, sizeof word);
            opened |= word & (Opened{0} - there);
        });
}

// Where a run stopped, and the state it leaves.
struct TextRun {
    const std::uint8_t* in;
    char* out;
    bool paragraphOpen;
    bool softBreakPending = false;
};

// Takes the code at run.in that changes the state, where that needs no look back: a complete
// escape, a hard break, a soft break with what it drops. False leaves the code to the case
// analysis (page break, end of text, an incomplete escape, a soft break still pending at end).
[[gnu::always_inline]] inline bool TakeStateCode(const TextRunForms& forms, const std::uint8_t* end,
                                                 const std::uint8_t* imageEnd, TextRun& run,
                                                 Opened& opened) {
    const std::uint8_t* in = run.in;
    const std::uint8_t v = *in;
    if (v == Escape && imageEnd - in > 3 && in[1] == EscapeLetter) {
        // Escapes come in words: the rest of this one is taken here too, as far as the run goes.
        do {
            run.out = WriteRunBytes<1>(in + 3, 1, forms.escaped, run.out, opened);
            in += AttributeEscapeLength;
        } while (in < end && imageEnd - in > 3 && in[0] == Escape && in[1] == EscapeLetter);
        run.in = in;
        return true;
    }
    if (v == HardBreak) {
        *run.out++ = TextParagraphEnd;
        ++in;
        if (in < imageEnd && *in == LineFeed) ++in;
        run.in = in;
        run.paragraphOpen = false;
        opened = 0;
        return true;
    }
    if (v != SoftBreak) return false;
    // One blank; then line feeds and spaces vanish and tabs are written until a character,
    // or an escape, complete or not, ends the pending break.
    *run.out++ = ' ';
    opened = OpensParagraphBit;
    for (++in; in < end; ++in) {
        if (*in == Tab) {
            *run.out++ = '\t';
        } else if (*in != LineFeed && !IsSpaceCode(*in)) {
            break;
        }
    }
    run.in = in;
    run.softBreakPending = in >= end || (ChangesTextState(*in) && *in != Escape);
    return !run.softBreakPending;
}

// Writes the stream from `in` on as the case analysis would, as far as TakeStateCode can
// take the codes that change the state: the bytes between them sixteen at a time, tested
// for those codes at once (printable ASCII copied as it stands). Like a step of the case
// analysis, a code may read past end to complete itself.
template <bool Prose>
TextRun WriteTextRun(const TextRunForms& forms, const std::uint8_t* in, const std::uint8_t* end,
                     const std::uint8_t* imageEnd, char* out, bool paragraphOpen) {
    TextRun run{in, out, paragraphOpen};
    Opened opened = 0;  // by a form written since the run began or its last paragraph ended
    const auto finish = [&run, &opened] {
        run.paragraphOpen = run.paragraphOpen || (opened & OpensParagraphBit);
        return run;
    };
    while (run.in < end) {
        if (end - run.in < RunBlock) {
            while (run.in < end && forms.plain[*run.in].inPlainRun)
                run.out = WriteRunBytes<1>(run.in++, 1, forms.plain, run.out, opened);
            if (run.in >= end || !TakeStateCode(forms, end, imageEnd, run, opened)) break;
            continue;
        }
        const std::uint8_t* const block = run.in;
        const RunBlockClasses classes = ClassifyRunBlock<NoEscapedAscii>(block);
        // Bytes written as one byte: stored as they stand, what lies beyond overwritten.
        const std::uint32_t single =
            forms.literalAscii ? classes.printable | (forms.spacesAsBlanks ? classes.spaces : 0)
                               : 0;
        // Outside prose a block with forms is rare enough for the table.
        const bool mixed = Prose && forms.literalAscii && end - block >= 2 * RunBlock;
        if (!Prose && classes.printable == WholeRunBlock && forms.literalAscii) {
            std::memcpy(run.out, block, RunBlock);
            run.out += RunBlock;
            run.in += RunBlock;
            opened = OpensParagraphBit;
            continue;
        }
        if (!classes.stops) {
            run.out = mixed
                          ? WriteMixedTextBytes<true>(block, RunBlock, single, forms.plain, run.out,
                                                      opened)
                          : WriteRunBytes<RunBlock>(block, RunBlock, forms.plain, run.out, opened);
            run.in += RunBlock;
            continue;
        }
        // Each code of the block that changes the state, and the bytes before it.
        for (std::uint32_t stops = classes.stops; stops;) {
            const std::uint8_t* const stop = block + std::countr_zero(stops);
            const auto count = static_cast<int>(stop - run.in);
            if (forms.literalAscii && end - run.in >= RunBlock &&
                AllPrintable(classes, static_cast<int>(run.in - block), count)) {
                std::memcpy(run.out, run.in, RunBlock);  // what lies beyond is overwritten
                run.out += count;
                opened |= count ? OpensParagraphBit : 0;
            } else if (Prose && forms.literalAscii && end - run.in >= 2 * RunBlock) {
                run.out = WriteMixedTextBytes<false>(run.in, count, single >> (run.in - block),
                                                     forms.plain, run.out, opened);
            } else {
                run.out = WriteRunBytes<0>(run.in, count, forms.plain, run.out, opened);
            }
            run.in = stop;
            if (!TakeStateCode(forms, end, imageEnd, run, opened)) return finish();
            const auto taken = run.in - block;  // an escape's own bytes are no stops
            stops = taken < RunBlock ? stops & (WholeRunBlock << taken) : 0;
        }
    }
    return finish();
}

// The steps of the text stream's reading, as the text form writes them: attributes dropped.
struct TextWriter {
    const std::array<TextExporter::ByteForm, 256>& escapedForms;
    char* out;
    bool paragraphOpen = false;

    void Append(const TextExporter::ByteForm& form) {
        std::memcpy(out, form.bytes, sizeof form.bytes);
        out += form.length;
    }

    void WriteHardBreak() {
        *out++ = TextParagraphEnd;
        paragraphOpen = false;
    }

    void WriteSoftBreak() {
        *out++ = ' ';
        paragraphOpen = true;
    }

    void WritePageBreak() {
        if (paragraphOpen) *out++ = TextParagraphEnd;
        *out++ = TextPageBreak;
        paragraphOpen = false;
    }

    void WriteTab() {
        *out++ = '\t';
        paragraphOpen = true;
    }

    void WriteSpace(std::uint8_t) {
        *out++ = ' ';
        paragraphOpen = true;
    }

    void WriteCharacter(std::uint8_t code, std::uint8_t) {
        Append(escapedForms[code]);
        paragraphOpen = true;
    }
};

}  // namespace

bool TextExporter::Convert(const std::uint8_t* image, std::int64_t length,
                           ExportBuffer& out) const {
    if (!image || length < 1) return out.Reset(0);
    bool ended = false;
    return ConvertPiece(image, {FindTextStart(image, length), length}, out, ended);
}

bool TextExporter::ConvertPiece(const std::uint8_t* image, const TextPiece& piece,
                                ExportBuffer& out, bool& ended) const {
    const std::int64_t length = piece.to;
    const auto textLength = static_cast<std::size_t>(length - piece.from);
    const std::size_t whole = textLength * MaxBytesPerInputByte + TextSlack;
    // The input in steps whose text fits the room reserved for it; unless streaming, one step
    // takes all. A step's last code may read past its end: an escape gives one character,
    // within the slack.
    const std::size_t block = std::max(out.drainAt(), MinimumStreamStep);
    if (!out.Reset(out.streaming() ? std::min(whole, block) : whole)) return false;
    const std::int64_t step =
        out.streaming() ? static_cast<std::int64_t>((block - TextSlack) / MaxBytesPerInputByte)
                        : length;

    const bool prose = LooksLikeProse(image, piece.from, length);
    TextWriter writer{escapedForms_, nullptr};
    TextCodeState state{piece.from};
    ended = false;
    while (state.position < length && !ended) {
        const std::int64_t stepEnd = std::min(length, state.position + step);
        const auto room =
            static_cast<std::size_t>(stepEnd - state.position) * MaxBytesPerInputByte + TextSlack;
        if (!out.Ensure(room)) return false;
        char* const first = out.end();
        writer.out = first;
        while (state.position < stepEnd) {
            // The run takes what it can decide alone; a soft break still pending (its
            // spaces being dropped) and the codes the run leaves go one step at a time.
            if (!state.softBreakPending) {
                const TextRunForms forms{forms_.data(), escapedForms_.data(), literalAscii_,
                                         spacesAsBlanks_};
                const TextRun run =
                    prose ? WriteTextRun<true>(forms, image + state.position, image + stepEnd,
                                               image + length, writer.out, writer.paragraphOpen)
                          : WriteTextRun<false>(forms, image + state.position, image + stepEnd,
                                                image + length, writer.out, writer.paragraphOpen);
                writer.out = run.out;
                writer.paragraphOpen = run.paragraphOpen;
                state.softBreakPending = run.softBreakPending;
                state.position = run.in - image;
                if (state.position >= stepEnd) break;
            }
            if (!ReadOneTextCode(image, length, state, writer)) {
                ended = true;
                break;
            }
        }
        out.Commit(static_cast<std::size_t>(writer.out - first));
    }
    if (writer.paragraphOpen && (piece.last || ended)) {
        if (!out.Ensure(1)) return false;
        out.Append(TextParagraphEnd);
    }
    return out.Flush() && out.complete();
}

}  // namespace brevikon
