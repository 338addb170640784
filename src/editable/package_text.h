#pragma once
// What the ODT and DOCX writers share: their input, and XML text gathered in a string that
// goes into a deflated package entry in steps.
#include <cstdint>
#include <string>
#include <string_view>

#include "editable/reflowed_paragraphs.h"
#include "format/font_mode.h"
#include "package/zip_writer.h"

namespace brevikon {

struct EditableInput {
    const std::uint8_t* image = nullptr;
    std::int64_t length = 0;
    FontMode fontMode = FontMode::Monospace;
    std::string_view title;  // UTF-8: the document's file name
    const Utf8Forms* forms = nullptr;
};

// The generator both packages name: the program and its version.
std::string GeneratorName();

// XML text with the five special characters as references and control characters left out
// (the character forms have none; a file name may).
void AppendXmlEscaped(std::string& out, std::string_view text);

// Gathers markup and hands it to a deflated entry whenever a step's worth has come.
class XmlPart {
  public:
    explicit XmlPart(DeflatedEntry& entry) : entry_(entry) { text_.reserve(Step + 1024); }
    void Append(std::string_view markup) {
        text_ += markup;
        if (text_.size() >= Step) Hand();
    }
    void AppendEscaped(std::string_view text) {
        AppendXmlEscaped(text_, text);
        if (text_.size() >= Step) Hand();
    }
    // Hands on what is left; false when the entry ran out of memory at any point.
    bool Finish() {
        Hand();
        return entry_.ok();
    }

  private:
    static constexpr std::size_t Step = 256 * 1024;
    void Hand() {
        entry_.Append(text_);
        text_.clear();
    }
    DeflatedEntry& entry_;
    std::string text_;
};

}  // namespace brevikon
