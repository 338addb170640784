#pragma once
// The document as an editable copy holds it: paragraphs that the office program reflows.
// The text is read as the RTF reads it (a hard break ends a paragraph, a soft break is one
// blank, spaces after it vanish, spaces carry attributes by the same rule), and the filler
// spaces that the word processor's justification added are dropped. A paragraph writer has
//
//   void BeginParagraph(bool pageBreakBefore);
//   void EndParagraph();
//   void WriteText(std::string_view utf8, std::uint8_t visibleAttributes);
//   void WriteTab();
#include <array>
#include <cstdint>
#include <string_view>

#include "format/char_table.h"
#include "format/document_format.h"
#include "format/text_codes.h"
#include "text_export/character_forms.h"

namespace brevikon {

// The UTF-8 form of every character byte, made once per table.
struct Utf8Forms {
    struct Form {
        char bytes[Utf8CharMaxLength] = {};
        std::uint8_t length = 0;
    };
    std::array<Form, 256> forms{};

    explicit Utf8Forms(const CharTable& table) {
        for (int v = 0; v < 256; ++v)
            forms[v].length = static_cast<std::uint8_t>(FormatUtf8Char(table[v], forms[v].bytes));
    }
    std::string_view operator[](std::uint8_t code) const {
        return {forms[code].bytes, forms[code].length};
    }
};

template <class ParagraphWriter>
class ReflowedParagraphReader {
  public:
    ReflowedParagraphReader(const Utf8Forms& forms, ParagraphWriter& writer)
        : forms_(forms), writer_(writer) {}

    // Reads the whole text; every paragraph begun is ended. A page break at the very end
    // leaves one empty paragraph on the new page, as the RTF's last \page leaves a page.
    void Read(const std::uint8_t* image, std::int64_t length) {
        if (!image || length < 1) return;
        TextCodeState state{FindTextStart(image, length)};
        while (state.position < length) {
            // A filler space is dropped outright: it changes no state of the reading.
            if (image[state.position] == SoftSpace) {
                ++state.position;
                continue;
            }
            if (!ReadOneTextCode(image, length, state, *this)) break;
        }
        if (open_ || pageBreakPending_) {
            Open();
            writer_.EndParagraph();
        }
    }

    // The steps of the text stream's reading.
    void WriteHardBreak() {
        Open();
        writer_.EndParagraph();
        open_ = false;
    }
    void WriteSoftBreak() {
        Open();
        writer_.WriteText(" ", 0);
    }
    void WritePageBreak() {
        if (open_) writer_.EndParagraph();
        open_ = false;
        pageBreakPending_ = true;
    }
    void WriteTab() {
        Open();
        writer_.WriteTab();
    }
    void WriteSpace(std::uint8_t carried) {
        Open();
        writer_.WriteText(" ", VisibleAttributes(carried));
    }
    void WriteCharacter(std::uint8_t code, std::uint8_t attributes) {
        Open();
        const std::string_view text = forms_[code];
        if (!text.empty()) writer_.WriteText(text, VisibleAttributes(attributes));
    }

  private:
    void Open() {
        if (open_) return;
        writer_.BeginParagraph(pageBreakPending_);
        open_ = true;
        pageBreakPending_ = false;
    }

    const Utf8Forms& forms_;
    ParagraphWriter& writer_;
    bool open_ = false;
    bool pageBreakPending_ = false;
};

}  // namespace brevikon
