#include "text_export/convert_to_text.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>

#include "format/document_format.h"
#include "format/text_codes.h"
#include "format/text_runs.h"
#include "text_export/character_forms.h"
#include "text_export/text_run.h"

namespace brevikon {

namespace {

// The most text one input byte can give: a character's three UTF-8 bytes.
constexpr std::size_t MaxBytesPerInputByte = 3;
// The final paragraph end, and the slack that the fixed four-byte copies run into.
constexpr std::size_t TextSlack = 8;
// The smallest room a streamed step reserves, however small the block asked for.
constexpr std::size_t MinimumStreamStep = 4096;

}  // namespace

TextExporter::TextExporter(const CharTable& table, Spaces spaces, bool wideBlocks)
    : wideBlocks_(wideBlocks) {
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

namespace narrow_blocks {

using namespace text_runs;

using Blocks = RunBlocks<NoEscapedAscii>;

#include "text_export/text_run_loop.h"

}  // namespace narrow_blocks

using text_runs::TextRun;
using text_runs::TextRunForms;

// The run of the build this processor takes for the text.
[[gnu::always_inline]] inline TextRun WriteRun(const TextRunForms& forms, bool prose,
                                               bool wideBlocks, const std::uint8_t* in,
                                               const std::uint8_t* end,
                                               const std::uint8_t* imageEnd, char* out,
                                               bool paragraphOpen) {
    using narrow_blocks::Blocks;
#if defined(BREVIKON_WIDE_BLOCKS)
    if (wideBlocks)
        return text_runs::WriteTextRunWide(forms, in, end, imageEnd, out, paragraphOpen, prose);
#else
    (void)wideBlocks;
#endif
    if (prose)
        return narrow_blocks::WriteTextRun<Blocks, true>(forms, in, end, imageEnd, out,
                                                         paragraphOpen);
    return narrow_blocks::WriteTextRun<Blocks, false>(forms, in, end, imageEnd, out, paragraphOpen);
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
                    WriteRun(forms, prose, wideBlocks_, image + state.position, image + stepEnd,
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
