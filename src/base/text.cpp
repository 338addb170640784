#include "base/text.h"

namespace brevikon {

std::u16string DecimalText(std::int64_t value) {
    char16_t digits[24];
    int count = 0;
    // Work on the unsigned magnitude so that the smallest int64 does not overflow.
    std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    do {
        digits[count++] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0);
    std::u16string text;
    if (value < 0) text += u'-';
    while (count > 0)
        text += digits[--count];
    return text;
}

std::u16string HexText(std::uint64_t value) {
    return HexText(value, 1);
}

std::u16string HexText(std::uint64_t value, int width) {
    static constexpr char16_t hex[] = u"0123456789ABCDEF";
    std::u16string text;
    do {
        text.insert(text.begin(), hex[value & 15]);
        value >>= 4;
    } while (value > 0);
    if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), u'0');
    return text;
}

std::u16string PadLeft(std::u16string text, std::size_t width, char16_t fill) {
    if (text.size() < width) text.insert(0, width - text.size(), fill);
    return text;
}

std::u16string AsciiText(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int extra = 0;
        char32_t code = 0;
        if (lead < 0x80) {
            code = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            code = lead & 0x07;
        } else {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        bool valid = i + extra < utf8.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            code = (code << 6) | (next & 0x3F);
        }
        const bool overlong = (extra == 2 && code < 0x800) || (extra == 3 && code < 0x10000);
        if (!valid || overlong || code > 0x10FFFF) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
        i += extra + 1;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t code = utf16[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

}  // namespace brevikon
