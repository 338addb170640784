#include "cli/json_line.h"

namespace brevikon {

namespace {

// The length of the valid UTF-8 sequence at text[i], or 0 when none starts there.
std::size_t SequenceLength(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) return 1;
    std::size_t length;
    std::uint32_t code, minimum;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, code = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, code = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, code = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) return 0;
        code = (code << 6) | (next & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
    for (std::size_t i = 0, length; i < text.size(); i += length) {
        if ((length = SequenceLength(text, i)) == 0) return false;
    }
    return true;
}

std::string ValidUtf8(std::string_view text) {
    std::string valid;
    valid.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = SequenceLength(text, i);
        if (length == 0) {
            valid += "\xEF\xBF\xBD";
            ++i;
        } else {
            valid.append(text.substr(i, length));
            i += length;
        }
    }
    return valid;
}

JsonLine& JsonLine::Open(char bracket) {
    Separate();
    text_ += bracket;
    open_.push_back(bracket == '{' ? '}' : ']');
    first_ = true;
    return *this;
}

void JsonLine::Separate() {
    if (afterKey_) {
        afterKey_ = false;
    } else if (!first_) {
        text_ += ',';
    }
    first_ = false;
}

JsonLine& JsonLine::Key(std::string_view key) {
    String(key);
    text_ += ':';
    afterKey_ = true;
    return *this;
}

JsonLine& JsonLine::String(std::string_view utf8) {
    static constexpr char Digits[] = "0123456789abcdef";
    Separate();
    text_ += '"';
    // Runs that need no escape go in at once; names and texts are mostly such a run.
    std::size_t run = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte >= 0x20 && byte != '"' && byte != '\\') continue;
        text_.append(utf8.substr(run, i - run));
        run = i + 1;
        if (byte < 0x20) {
            const char escaped[] = {'\\', 'u', '0', '0', Digits[byte >> 4], Digits[byte & 15]};
            text_.append(escaped, sizeof escaped);
        } else {
            const char escaped[] = {'\\', static_cast<char>(byte)};
            text_.append(escaped, sizeof escaped);
        }
    }
    text_.append(utf8.substr(run));
    text_ += '"';
    return *this;
}

JsonLine& JsonLine::Number(std::int64_t value) {
    Separate();
    text_ += std::to_string(value);
    return *this;
}

JsonLine& JsonLine::Bool(bool value) {
    Separate();
    text_ += value ? "true" : "false";
    return *this;
}

JsonLine& JsonLine::Null() {
    Separate();
    text_ += "null";
    return *this;
}

JsonLine& JsonLine::End() {
    text_ += open_.back();
    open_.pop_back();
    first_ = false;
    return *this;
}

std::string JsonLine::Finish() {
    while (!open_.empty())
        End();
    return std::move(text_);
}

}  // namespace brevikon
