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
#include "rtf/plain_run.h"
#include "rtf/rtf_runs.h"

namespace brevikon {

namespace {

using namespace rtf_runs;

constexpr std::string_view DocumentHeaderFragments[] = {
    "{\\rtf1\\ansi\\ansicpg1252\\uc1\\deff0\r\n",
    "{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset0 Courier New;}",
    "{\\f1\\froman\\fprq2\\fcharset0 Times New Roman;}}\r\n",
    "{\\colortbl;\\red0\\green0\\blue0;}\r\n",
    "\\viewkind4\\fet0\\sectd\r\n",
};
constexpr std::string_view PageBreakWord = "\\page\r\n";
constexpr std::string_view TabWord = "\\tab ";
constexpr std::string_view Blank = " ";
constexpr std::string_view DocumentEnd = "}";

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
          lineEnd_(conversion.fontMode == FontMode::Monospace ? LineEndMonospace
                                                              : LineEndProportional),
          state_{piece.from},
          forms_(forms),
          piece_(piece),
          prose_(LooksLikeProse(image_, piece.from, length_)),
          wideBlocks_(conversion.wideBlocks) {}

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
                    WritePlainRun();
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

    // The run of the build this processor takes; then the state where it stopped.
    void WritePlainRun() {
        PlainRun run;
        run.image = image_;
        run.length = length_;
        run.forms = &forms_;
        run.opening = paragraphOpening_.data();
        run.lineEnd = lineEnd_.data();
        run.storage = buffer_.storage;
        run.capacity = buffer_.capacity;
        run.used = buffer_.used;
        run.position = state_.position;
        // Kept as they are where the run takes nothing (a buffer too small for its turns).
        run.open = paragraphOpen_;
        run.softBreakPending = state_.softBreakPending;
#if defined(BREVIKON_WIDE_BLOCKS)
        if (wideBlocks_) {
            WritePlainRunWide(run, prose_);
        } else {
            WritePlainRunNarrow(run, prose_);
        }
#else
        WritePlainRunNarrow(run, prose_);
#endif
        buffer_.used = run.used;
        state_.position = run.position;
        state_.softBreakPending = run.softBreakPending;
        paragraphOpen_ = run.open;
        if (run.endedInEscapes) {
            currentAttributes_ = run.currentAttributes;
            state_.lastEscapeAttribute = run.lastEscapeAttribute;
        }
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
    std::string_view lineEnd_;
    TextCodeState state_;
    bool paragraphOpen_ = false;
    const RtfByteForms& forms_;
    TextPiece piece_;
    bool prose_;
    [[maybe_unused]] bool wideBlocks_;  // unused where no wide run is built
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
    RtfBuffer& buffer = *conversion.buffer;
    if (conversion.keepInitialStorage && buffer.storage &&
        buffer.capacity == RtfBufferInitialCapacity) {
        buffer.used = 0;  // what it held is never read again
        buffer.appendLost = false;
    } else {
        ResetRtfBuffer(buffer);
    }
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
