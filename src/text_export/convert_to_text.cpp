#include "text_export/convert_to_text.h"

#include <cstring>

#include "format/document_format.h"
#include "text_export/character_forms.h"

namespace brevikon {

namespace {

// The most text one input byte can give: a character's three UTF-8 bytes.
constexpr std::size_t MaxBytesPerInputByte = 3;
// The final paragraph end, and the slack that the fixed four-byte copies run into.
constexpr std::size_t TextSlack = 8;

}  // namespace

TextExporter::TextExporter(const CharTable& table) {
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

bool TextExporter::Convert(const std::uint8_t* image, std::int64_t length,
                           ExportBuffer& out) const {
    if (!image || length < 1) return out.Reset(0);
    const std::int64_t textStart = FindTextStart(image, length);
    const auto textLength = static_cast<std::size_t>(length - textStart);
    if (!out.Reset(textLength * MaxBytesPerInputByte + TextSlack)) return false;

    const std::uint8_t* p = image + textStart;
    const std::uint8_t* const end = image + length;
    char* const first = out.end();
    char* o = first;
    bool paragraphOpen = false;
    bool softBreakPending = false;

    while (p < end) {
        if (!softBreakPending) {
            while (p < end) {
                const ByteForm& form = forms_[*p];
                if (!form.inPlainRun) break;
                std::memcpy(o, form.bytes, sizeof form.bytes);
                o += form.length;
                paragraphOpen |= form.opensParagraph;
                ++p;
            }
            if (p >= end) break;
        }
        const std::uint8_t v = *p;
        if (v == EndOfText) break;
        switch (v) {
            case HardBreak:
                ++p;
                if (p < end && *p == LineFeed) ++p;
                *o++ = TextParagraphEnd;
                paragraphOpen = false;
                softBreakPending = false;
                break;
            case SoftBreak:
                ++p;
                *o++ = ' ';
                paragraphOpen = true;
                softBreakPending = true;
                break;
            case LineFeed:
                ++p;
                break;
            case PageBreak:
                ++p;
                if (paragraphOpen) *o++ = TextParagraphEnd;
                *o++ = TextPageBreak;
                paragraphOpen = false;
                softBreakPending = false;
                break;
            case Tab:  // keeps a pending soft break, as in the RTF
                ++p;
                *o++ = '\t';
                paragraphOpen = true;
                break;
            case Space:
            case AltSpace:
            case SoftSpace:
                ++p;
                if (!softBreakPending) {
                    *o++ = ' ';
                    paragraphOpen = true;
                }
                break;
            default: {
                softBreakPending = false;
                if (v == Escape && end - p > 3 && p[1] == EscapeLetter) {
                    const ByteForm& form = escapedForms_[p[3]];
                    std::memcpy(o, form.bytes, sizeof form.bytes);
                    o += form.length;
                    paragraphOpen = true;
                    p += AttributeEscapeLength;
                    break;
                }
                ++p;
                if (v < Space) break;  // unknown control code or an incomplete escape
                const ByteForm& form = forms_[v];
                std::memcpy(o, form.bytes, sizeof form.bytes);
                o += form.length;
                paragraphOpen = true;
                break;
            }
        }
    }
    if (paragraphOpen) *o++ = TextParagraphEnd;
    out.Commit(static_cast<std::size_t>(o - first));
    return true;
}

}  // namespace brevikon
