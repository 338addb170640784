#include "text_export/convert_to_text.h"

#include <algorithm>
#include <cstring>

#include "format/document_format.h"
#include "format/text_codes.h"
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
        if (v == Space || v == AltSpace || v == SoftSpace) {
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
}

namespace {

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
    const std::int64_t textStart = FindTextStart(image, length);
    const auto textLength = static_cast<std::size_t>(length - textStart);
    const std::size_t whole = textLength * MaxBytesPerInputByte + TextSlack;
    // The input in steps whose text fits the room reserved for it; unless streaming, one step
    // takes all. A step's last code may read past its end: an escape gives one character,
    // within the slack.
    const std::size_t block = std::max(out.drainAt(), MinimumStreamStep);
    if (!out.Reset(out.streaming() ? std::min(whole, block) : whole)) return false;
    const std::int64_t step =
        out.streaming() ? static_cast<std::int64_t>((block - TextSlack) / MaxBytesPerInputByte)
                        : length;

    TextWriter writer{escapedForms_, nullptr};
    TextCodeState state{textStart};
    bool ended = false;
    while (state.position < length && !ended) {
        const std::int64_t stepEnd = std::min(length, state.position + step);
        const auto room =
            static_cast<std::size_t>(stepEnd - state.position) * MaxBytesPerInputByte + TextSlack;
        if (!out.Ensure(room)) return false;
        char* const first = out.end();
        writer.out = first;
        while (state.position < stepEnd) {
            // Bytes that leave the state alone are taken as a run, unless spaces are being
            // dropped.
            if (!state.softBreakPending) {
                // Locals: the writer's fields could alias what memcpy writes, and would be
                // reloaded every byte.
                const std::uint8_t* p = image + state.position;
                const std::uint8_t* const end = image + stepEnd;
                char* o = writer.out;
                bool paragraphOpen = writer.paragraphOpen;
                for (; p < end; ++p) {
                    const ByteForm& form = forms_[*p];
                    if (!form.inPlainRun) break;
                    std::memcpy(o, form.bytes, sizeof form.bytes);
                    o += form.length;
                    paragraphOpen |= form.opensParagraph;
                }
                writer.out = o;
                writer.paragraphOpen = paragraphOpen;
                state.position = p - image;
                if (p >= end) break;
            }
            if (!ReadOneTextCode(image, length, state, writer)) {
                ended = true;
                break;
            }
        }
        out.Commit(static_cast<std::size_t>(writer.out - first));
    }
    if (writer.paragraphOpen) {
        if (!out.Ensure(1)) return false;
        out.Append(TextParagraphEnd);
    }
    return out.Flush() && out.complete();
}

}  // namespace brevikon
