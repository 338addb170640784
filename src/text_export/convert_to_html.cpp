#include "text_export/convert_to_html.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstring>

#include "format/document_format.h"
#include "format/status_summary.h"
#include "format/text_codes.h"
#include "format/text_runs.h"
#include "text_export/character_forms.h"
#include "text_export/html_escaped_ascii.h"
#include "text_export/html_page.h"
#include "text_export/html_run.h"

namespace brevikon {

namespace {

using CharForm = HtmlExporter::CharForm;
using RunForm = HtmlExporter::RunForm;

namespace narrow_blocks {

using Blocks = RunBlocks<HtmlEscapedAscii>;

#include "text_export/html_run_loop.h"

}  // namespace narrow_blocks

constexpr std::uint8_t TextClassBits = Underline | Bold | Superscript | Subscript | Bit20;
constexpr std::uint8_t ScaledBits = Wide | Narrow;

// The opening of the span of the text classes in visible & TextClassBits: every attribute
// but the width, which an outer span carries.
struct SpanOpening {
    char bytes[31] = {};
    std::uint8_t length = 0;
};

constexpr std::array<SpanOpening, 64> BuildSpanOpenings() {
    std::array<SpanOpening, 64> openings{};
    for (std::size_t visible = 0; visible < openings.size(); ++visible) {
        SpanOpening& opening = openings[visible];
        const auto add = [&opening](std::string_view text) {
            for (const char c : text)
                opening.bytes[opening.length++] = c;
        };
        add("<span class=\"");
        bool first = true;
        const auto addClass = [&](std::uint8_t bit, std::string_view name) {
            if (!(visible & bit)) return;
            if (!first) add(" ");
            add(name);
            first = false;
        };
        addClass(Underline, html_class::Underline);
        addClass(Bold, html_class::Bold);
        addClass(Superscript, html_class::Superscript);
        addClass(Subscript, html_class::Subscript);
        addClass(Bit20, html_class::Spacing);
        add("\">");
    }
    return openings;
}
constexpr std::array<SpanOpening, 64> SpanOpenings = BuildSpanOpenings();
constexpr std::string_view SpanClosing = "</span>";
constexpr std::string_view TabText = "<span class=\"tab\">\t</span>";
// A paragraph without text holds a line break, so that it keeps the height of a line.
constexpr std::string_view EmptyParagraph = "<div><br></div>\n";

// VisibleAttributes of every attribute byte, for the escaped run: one load per escape instead
// of the tests of its groups.
constexpr std::array<std::uint8_t, 256> BuildVisibleByAttributes() {
    std::array<std::uint8_t, 256> table{};
    for (int flags = 0; flags < 256; ++flags)
        table[flags] = VisibleAttributes(static_cast<std::uint8_t>(flags));
    return table;
}
constexpr std::array<std::uint8_t, 256> VisibleByAttributes = BuildVisibleByAttributes();
// What changing from one span of text classes to another writes at most.
constexpr std::size_t SpanChangeRoom = SpanClosing.size() + sizeof(SpanOpening);

// Writes one document's paragraphs. Attribute changes are only noted; the span for them is
// opened when text is written, so an escape that writes no character leaves no empty span.
class HtmlWriter {
  public:
    HtmlWriter(const std::uint8_t* image, std::int64_t length,
               const std::array<CharForm, 256>& forms, const std::array<RunForm, 256>& runForms,
               bool literalAscii, bool wideBlocks, ExportBuffer& out)
        : image_(image),
          length_(length),
          forms_(forms),
          runForms_(runForms),
          literalAscii_(literalAscii),
          wideBlocks_(wideBlocks),
          out_(out) {}

    // Writes the paragraphs from position on; true when the text ended before length.
    bool Write(std::int64_t position) {
        prose_ = LooksLikeProse(image_, position, length_);
        TextCodeState state{position};
        bool ended = false;
        while (state.position < length_) {
            if (paragraphOpen_ && !state.softBreakPending) {
                if (shown_ == 0 && state.lastEscapeAttribute == 0) WritePlainRun(state);
                if (paragraphOpen_ && !state.softBreakPending && WriteEscapedRun(state)) continue;
                if (state.position >= length_) break;
            }
            if (!ReadOneTextCode(image_, length_, state, *this)) {
                ended = true;
                break;
            }
        }
        if (paragraphOpen_) CloseParagraph();
        return ended;
    }

    // The steps of the text stream's reading, as HTML shows them.
    void WriteHardBreak() {
        OpenParagraph();
        CloseParagraph();
    }

    void WriteSoftBreak() {
        OpenParagraph();
        wanted_ = 0;
        WriteText(" ");
    }

    void WritePageBreak() {
        if (paragraphOpen_) CloseParagraph();
        out_.Append("<hr class=\"page\">\n");
    }

    void WriteTab() {
        OpenParagraph();
        wanted_ = 0;
        WriteText(TabText);
    }

    // Spaces carry attributes exactly as in the RTF.
    void WriteSpace(std::uint8_t carried) {
        OpenParagraph();
        wanted_ = VisibleAttributes(static_cast<std::uint8_t>(carried));
        WriteText(" ");
    }

    void WriteCharacter(std::uint8_t code, std::uint8_t attributes) {
        OpenParagraph();
        wanted_ = VisibleAttributes(static_cast<std::uint8_t>(attributes));
        const CharForm& form = forms_[code];
        WriteText(std::string_view(form.bytes, form.length));
    }

  private:
    // Span changes a step of the escaped run has room for, beside one form per byte it reads.
    static constexpr int StepChanges = 256;
    // A form is read as one word, its length in the top byte.
    static_assert(sizeof(CharForm) == 8 && offsetof(CharForm, length) == 7 &&
                  std::endian::native == std::endian::little);

    // A plain run by table, in steps whose text fits the room reserved for it: the same text
    // as the steps one by one, since no byte of the run changes the state they read. A hard
    // break followed by text ends one paragraph and opens the next within the run; a tab,
    // whose text is too long for the table, is written here as its step writes it with no
    // span open.
    void WritePlainRun(TextCodeState& state) {
        constexpr std::int64_t Step = 4096;
        // A byte writes at most one form or a tab, or a hard break closes and opens a paragraph.
        constexpr std::size_t RoomPerByte = std::max(2 * sizeof(RunForm::bytes), TabText.size());
        std::int64_t position = state.position;
        bool open = true;
        while (position < length_ && open) {
            const std::int64_t end = std::min(length_, position + Step);
            if (!out_.Ensure(static_cast<std::size_t>(end - position) * RoomPerByte))
                break;  // memory ran out: the steps one by one drop the text the same way
            char* const first = out_.end();
            char* o = first;
            const std::uint8_t* p = image_ + position;
            const std::uint8_t* const stop = image_ + end;
            HtmlRunLineEnds lineEnds{paragraphStart_ == out_.size() ? first : nullptr};
            while (true) {
                o = prose_ ? AppendRunBytes<true>(p, stop, o, lineEnds)
                           : AppendRunBytes<false>(p, stop, o, lineEnds);
                if (p >= stop) break;
                if (*p == SoftBreak) {
                    // Its blank; then line feeds and spaces vanish. Text that follows ends the
                    // pending break at once, anything else is left to the steps one by one.
                    *o++ = ' ';
                    for (++p; p < stop && (*p == LineFeed || IsSpaceCode(*p));)
                        ++p;
                    wanted_ = 0;
                    if (p >= stop || !runForms_[*p].inRun) {
                        state.softBreakPending = true;
                        break;
                    }
                    continue;
                }
                if (*p == Tab) {
                    std::memcpy(o, TabText.data(), TabText.size());
                    o += TabText.size();
                    ++p;
                    wanted_ = 0;
                    continue;
                }
                if (*p != HardBreak) break;
                // The paragraph's end; an empty one holds a line break.
                const std::string_view close =
                    o == lineEnds.paragraphAt ? "<br></div>\n" : "</div>\n";
                std::memcpy(o, close.data(), close.size());
                o += close.size();
                ++p;
                if (p < image_ + length_ && *p == LineFeed) ++p;
                wanted_ = 0;
                // Then a line feed writes nothing and another hard break an empty paragraph.
                while (p < stop && (*p == LineFeed || *p == HardBreak)) {
                    if (*p++ == LineFeed) continue;
                    if (p < image_ + length_ && *p == LineFeed) ++p;
                    std::memcpy(o, EmptyParagraph.data(), EmptyParagraph.size());
                    o += EmptyParagraph.size();
                }
                // Text right after them opens the next paragraph, and so does a complete
                // escape, which the escaped run then takes; anything else is left to the steps
                // one by one, with no paragraph open.
                const bool escape =
                    p < stop && *p == Escape && image_ + length_ - p > 3 && p[1] == EscapeLetter;
                if (!escape && (p >= stop || *p < Space || !runForms_[*p].inRun)) {
                    open = false;
                    break;
                }
                std::memcpy(o, "<div>", 5);
                o += 5;
                lineEnds.paragraphAt = o;
                if (escape) break;
            }
            if (lineEnds.paragraphAt)
                paragraphStart_ =
                    out_.size() + static_cast<std::size_t>(lineEnds.paragraphAt - first);
            if (lineEnds.taken) wanted_ = 0;
            out_.Commit(static_cast<std::size_t>(o - first));
            position = p - image_;
            if (p < stop || state.softBreakPending) break;
        }
        paragraphOpen_ = open;
        state.position = position;
    }

    // Complete escapes, spaces and characters, whatever their attributes, and the soft breaks
    // between them: each writes its character or blank, closing and opening the spans of text
    // classes on the way, and changes nothing else of the state than the steps one by one
    // would. A character without an escape that closes the span ends the run, so that a plain
    // run can take what follows: true then. A change that involves a width span is left to
    // its step. Not inlined: in the step loop it took registers from the plain run, which then
    // ran the realistic text some 15 % slower.
    [[gnu::noinline]] bool WriteEscapedRun(TextCodeState& state) {
        constexpr std::int64_t Step = 4096;
        static constexpr CharForm Blank{{' '}, 1};
        // Locals, not members: the stores through o could change what a member holds, so its
        // fields would be read again after each of them.
        const std::uint8_t* const image = image_;
        const std::int64_t length = length_;
        const CharForm* const forms = forms_.data();
        std::int64_t position = state.position;
        std::uint8_t lastEscape = state.lastEscapeAttribute;
        bool more = true;
        bool plainFollows = false;
        while (more && !plainFollows && position < length) {
            const std::int64_t end = std::min(length, position + Step);
            if (!out_.Ensure(static_cast<std::size_t>(end - position) * sizeof(CharForm) +
                             StepChanges * SpanChangeRoom)) {
                break;
            }
            char* const first = out_.end();
            char* o = first;
            int changes = 0;
            while (position < end) {
                const std::uint8_t v = image[position];
                std::uint8_t attributes;
                const CharForm* form;
                std::int64_t next;
                const bool escape =
                    v == Escape && position + 3 < length && image[position + 1] == EscapeLetter;
                bool plain = false;  // a character without an escape
                if (escape) {
                    attributes = image[position + 2];
                    form = &forms[image[position + 3]];
                    next = position + AttributeEscapeLength;
                } else if (IsSpaceCode(v)) {
                    attributes = static_cast<std::uint8_t>(
                        CarriedSpaceAttributes(image, length, position + 1, lastEscape));
                    form = &Blank;
                    next = position + 1;
                } else if (v > Space && !ChangesTextState(v)) {
                    attributes = 0;
                    form = &forms[v];
                    next = position + 1;
                    plain = true;
                } else if (v == SoftBreak &&
                           TakeSoftBreak(image, length, end, changes, position, o)) {
                    lastEscape = 0;
                    continue;
                } else if ((v == HardBreak || v == Tab) && position > state.position &&
                           CanCloseTextSpan(changes)) {
                    // The plain run takes the break or the tab, which write the same after the
                    // span is closed, and clear the last escape. Only after a code read here:
                    // where the plain run cannot go on (its room refused), the steps must take
                    // them, or the two would hand them on forever.
                    CloseTextSpan(changes, o);
                    lastEscape = 0;
                    plainFollows = true;
                    break;
                } else {
                    break;
                }
                const std::uint8_t wanted = VisibleByAttributes[attributes];
                if (form->length && wanted != shown_) {
                    if (((wanted | shown_) & ScaledBits) || changes == StepChanges) break;
                    ++changes;
                    if (shown_) {
                        std::memcpy(o, SpanClosing.data(), SpanClosing.size());
                        o += SpanClosing.size();
                    }
                    const SpanOpening& opening = SpanOpenings[wanted & TextClassBits];
                    std::memcpy(o, opening.bytes, sizeof opening.bytes);
                    o += wanted ? opening.length : 0;
                    shown_ = wanted;
                }
                wanted_ = wanted;
                std::memcpy(o, form->bytes, sizeof form->bytes);
                o += form->length;
                if (escape || plain) lastEscape = attributes;  // a space keeps the last escape's
                position = next;
                if (escape && shown_ == wanted) {
                    // The rest of a phrase of escapes with these attributes changes no span:
                    // only their characters are written, and the blanks of the spaces between
                    // its words, which carry the attributes (those of the last escape, or none).
                    const std::uint32_t same =
                        Escape | EscapeLetter << 8 | std::uint32_t{attributes} << 16;
                    const std::int64_t wordsEnd = std::min(end, length - 4);
                    const auto sameEscapeAt = [image, same](std::int64_t at) {
                        std::uint32_t word;
                        std::memcpy(&word, image + at, sizeof word);
                        return (word & 0xFFFFFFu) == same;
                    };
                    while (position < wordsEnd) {
                        if (sameEscapeAt(position)) {
                            // One load and one store; the length byte is written over.
                            std::uint64_t character;
                            std::memcpy(&character, &forms[image[position + 3]], sizeof character);
                            std::memcpy(o, &character, sizeof character);
                            o += character >> 56;
                            position += AttributeEscapeLength;
                        } else if (IsSpaceCode(image[position]) && sameEscapeAt(position + 1)) {
                            *o++ = ' ';
                            ++position;
                        } else {
                            plain = EndPhrase(image, end, changes, position, o);
                            if (plain) lastEscape = 0;
                            break;
                        }
                    }
                }
                if (plain && shown_ == 0) {
                    plainFollows = true;
                    break;
                }
            }
            out_.Commit(static_cast<std::size_t>(o - first));
            more = position >= end;
        }
        state.lastEscapeAttribute = lastEscape;
        state.position = position;
        return plainFollows;
    }

    // The end of a phrase at position, more than four bytes before the image's end, where its
    // last escape is followed by a character without one, after one or two blanks perhaps:
    // written as the codes one by one write it, the blanks without attributes and the
    // character closing the span. Taken here, not by the turns that follow, because most
    // phrases end so, and each turn there costs a guess. Not where a width span is open or the
    // step has no room for the change. True when taken: the run is plain again.
    bool EndPhrase(const std::uint8_t* image, std::int64_t end, int& changes,
                   std::int64_t& position, char*& o) {
        // One or two blanks lie there at random: counted without a branch.
        const bool one = IsSpaceCode(image[position]);
        const int blanks = one + (one & IsSpaceCode(image[position + 1]));
        const std::int64_t text = position + blanks;
        if (text >= end || !CanCloseTextSpan(changes)) return false;
        const std::uint8_t v = image[text];
        const CharForm& form = forms_[v];
        if (v <= Space || ChangesTextState(v) || IsSpaceCode(v) || form.length == 0) return false;
        CloseTextSpan(changes, o);
        std::memcpy(o, "  ", 2);
        o += blanks;
        std::memcpy(o, form.bytes, sizeof form.bytes);
        o += form.length;
        position = text + 1;
        return true;
    }

    // A soft break in the escaped run, as the codes one by one write it: its blank without
    // attributes, then line feeds and spaces vanish. Taken only where an escape or a character
    // without one follows, which ends the pending break at once; not where a width span is
    // open or the step has no room for the change.
    bool TakeSoftBreak(const std::uint8_t* image, std::int64_t length, std::int64_t end,
                       int& changes, std::int64_t& position, char*& o) {
        std::int64_t next = position + 1;
        while (next < end && (image[next] == LineFeed || IsSpaceCode(image[next])))
            ++next;
        if (next >= end || !CanCloseTextSpan(changes)) return false;
        const std::uint8_t v = image[next];
        const bool escape = v == Escape && next + 3 < length && image[next + 1] == EscapeLetter;
        if (!escape && (v <= Space || ChangesTextState(v))) return false;
        CloseTextSpan(changes, o);
        *o++ = ' ';
        position = next;
        return true;
    }

    // Whether the escaped run may close the open span itself: not a width span, whose spacer
    // copy CloseSpan writes, and not where the step has no room left for the change.
    bool CanCloseTextSpan(int changes) const {
        return !(shown_ & ScaledBits) && changes < StepChanges;
    }

    // Closes the span of text classes, if one is open, within a step of the escaped run.
    void CloseTextSpan(int& changes, char*& o) {
        if (shown_) {
            ++changes;
            std::memcpy(o, SpanClosing.data(), SpanClosing.size());
            o += SpanClosing.size();
        }
        shown_ = wanted_ = 0;
    }

    // The bytes from p on that stay in the run, up to stop; p ends at the first that does not.
    template <bool Prose>
    char* AppendRunBytes(const std::uint8_t*& p, const std::uint8_t* stop, char* o,
                         HtmlRunLineEnds& lineEnds) const {
#if defined(BREVIKON_WIDE_BLOCKS)
        if (wideBlocks_)
            return AppendPlainRunBytesWide(runForms_.data(), literalAscii_, p, stop, o, lineEnds,
                                           Prose);
#endif
        return narrow_blocks::AppendRunBytes<narrow_blocks::Blocks, Prose>(
            runForms_.data(), literalAscii_, p, stop, o, lineEnds);
    }

    // A paragraph is a div, not a p: a browser copies a p with a blank line after it, and
    // copied text must read as the text form. An empty one holds a line break, so that it
    // keeps the height of a line and is copied as one.
    void OpenParagraph() {
        if (paragraphOpen_) return;
        out_.Append("<div>");
        paragraphStart_ = out_.size();
        paragraphOpen_ = true;
    }

    void CloseParagraph() {
        CloseSpan();
        wanted_ = 0;
        out_.Append(out_.size() == paragraphStart_ ? "<br></div>\n" : "</div>\n");
        paragraphOpen_ = false;
    }

    void WriteText(std::string_view text) {
        if (text.empty()) return;
        if (wanted_ != shown_) {
            CloseSpan();
            OpenSpan(wanted_);
        }
        out_.Append(text);
    }

    void AppendTextSpanOpening(std::uint8_t visible) {
        const SpanOpening& opening = SpanOpenings[visible & TextClassBits];
        out_.Append(std::string_view(opening.bytes, opening.length));
    }

    static bool HasTextClasses(std::uint8_t visible) {
        return (visible & TextClassBits) != 0;
    }

    void OpenSpan(std::uint8_t visible) {
        shown_ = visible;
        if (visible == 0) return;
        const bool scaled = (visible & ScaledBits) != 0;
        if (scaled) {
            out_.Append((visible & Wide) ? "<span class=\"wide\"><span class=\"scaled\">"
                                         : "<span class=\"narrow\"><span class=\"scaled\">");
        }
        if (HasTextClasses(visible)) AppendTextSpanOpening(visible);
        runStart_ = out_.size();
        if (scaled) out_.HoldFrom(runStart_);  // written again when the span closes
    }

    void CloseSpan() {
        const std::uint8_t visible = shown_;
        shown_ = 0;
        if (visible == 0) return;
        const bool textSpan = HasTextClasses(visible);
        const std::size_t runLength = out_.size() - runStart_;
        if (textSpan) out_.Append(SpanClosing);
        if (!(visible & ScaledBits)) return;
        // The hidden copy that gives the scaled text its room: twice the text for wide, the
        // text once at two thirds of the size for narrow.
        out_.Append("</span><span class=\"spacer\" aria-hidden=\"true\">");
        if (textSpan) AppendTextSpanOpening(visible);
        out_.AppendCopy(runStart_, runLength);
        if (visible & Wide) out_.AppendCopy(runStart_, runLength);
        out_.ReleaseHold();
        if (textSpan) out_.Append(SpanClosing);
        out_.Append("</span></span>");
    }

    const std::uint8_t* image_;
    std::int64_t length_;
    const std::array<CharForm, 256>& forms_;
    const std::array<RunForm, 256>& runForms_;
    bool literalAscii_;                 // printable ASCII but & < > " ' is written as itself
    bool prose_ = false;                // see LooksLikeProse
    [[maybe_unused]] bool wideBlocks_;  // the plain run may take AppendPlainRunBytesWide
    ExportBuffer& out_;
    bool paragraphOpen_ = false;
    std::size_t paragraphStart_ = 0;
    std::uint8_t wanted_ = 0;  // visible attributes of the next text
    std::uint8_t shown_ = 0;   // visible attributes of the open span (0: none open)
    std::size_t runStart_ = 0;
};

// Room for a typical page; the buffer grows past it when needed.
constexpr std::size_t HtmlStartSize = 16384;

}  // namespace

HtmlExporter::HtmlExporter(const CharTable& table, bool wideBlocks) : wideBlocks_(wideBlocks) {
    for (int v = 0; v < 256; ++v) {
        CharForm& form = forms_[v];
        const char16_t code = table[v];
        std::string_view reference;
        switch (code) {
            case u'&':
                reference = "&amp;";
                break;
            case u'<':
                reference = "&lt;";
                break;
            case u'>':
                reference = "&gt;";
                break;
            case u'"':
                reference = "&quot;";
                break;
            case u'\'':
                reference = "&#39;";
                break;
            default:
                break;
        }
        if (!reference.empty()) {
            std::memcpy(form.bytes, reference.data(), reference.size());
            form.length = static_cast<std::uint8_t>(reference.size());
        } else {
            form.length = static_cast<std::uint8_t>(FormatUtf8Char(code, form.bytes));
        }
    }
    for (int v = 0; v < 256; ++v) {
        const auto byte = static_cast<std::uint8_t>(v);
        RunForm& run = runForms_[v];
        run.inRun = !ChangesTextState(byte) && byte != Tab;
        if (IsSpaceCode(byte)) {
            run.bytes[0] = ' ';
            run.length = 1;
        } else if (byte >= Space) {
            std::memcpy(run.bytes, forms_[v].bytes, sizeof forms_[v].bytes);
            run.length = forms_[v].length;
        }
        // Line feeds and unknown control codes write nothing.
    }
    for (int v = Space; v < 127; ++v) {
        const bool referenced = HtmlEscapedAscii::Is(static_cast<std::uint8_t>(v));
        literalAscii_ =
            literalAscii_ && (referenced || (runForms_[v].length == 1 &&
                                             runForms_[v].bytes[0] == static_cast<char>(v)));
    }
}

bool HtmlExporter::Convert(const std::uint8_t* image, std::int64_t length, FontMode fontMode,
                           std::string_view title, ExportBuffer& out) const {
    bool ended = false;
    const bool text = image && length >= 1;
    return ConvertPiece(image, {text ? FindTextStart(image, length) : 0, text ? length : 0},
                        fontMode, title, out, ended);
}

bool HtmlExporter::ConvertPiece(const std::uint8_t* image, const TextPiece& piece,
                                FontMode fontMode, std::string_view title, ExportBuffer& out,
                                bool& ended) const {
    const std::size_t estimate =
        HtmlStartSize + 2 * static_cast<std::size_t>(piece.to - piece.from);
    if (!out.Reset(out.streaming() ? std::min(estimate, out.drainAt()) : estimate)) return false;
    if (piece.first) AppendHtmlPageStart(out, title, fontMode);
    ended = piece.from < piece.to &&
            HtmlWriter(image, piece.to, forms_, runForms_, literalAscii_, wideBlocks_, out)
                .Write(piece.from);
    if (piece.last || ended) AppendHtmlPageEnd(out);
    return out.Flush() && out.complete();
}

}  // namespace brevikon
