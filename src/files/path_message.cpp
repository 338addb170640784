// Paths in messages, and the names of this program's temporary files. The same on every
// system; only the unit of a native path differs (a byte, or a UTF-16 unit).
#include <cstdint>
#include <string>
#include <type_traits>

#include "base/text.h"
#include "files/file_access.h"

namespace brevikon {

namespace {

using Unit = NativeString::value_type;

// One step through a path: a character that can be shown as it is, or units that need an
// escape (a control character, a byte that is no valid UTF-8, a lone surrogate).
struct PathStep {
    std::size_t length = 1;  // units taken
    bool printable = true;
};

bool IsControl(char32_t c) {
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0);
}

#ifdef _WIN32
PathStep NextStep(const NativeString& path, std::size_t at) {
    const char32_t unit = static_cast<char16_t>(path[at]);
    if (unit >= 0xD800 && unit < 0xDC00 && at + 1 < path.size()) {
        const char32_t low = static_cast<char16_t>(path[at + 1]);
        if (low >= 0xDC00 && low < 0xE000) return {2, true};
    }
    if (unit >= 0xD800 && unit < 0xE000) return {1, false};
    return {1, !IsControl(unit)};
}
#else
// A valid UTF-8 sequence of a printable character, or a single byte to escape.
PathStep NextStep(const NativeString& path, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(path[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return {1, !IsControl(lead)};
    std::size_t length = 0;
    char32_t c = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead < 0xE0) {
        length = 2, c = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        length = 3, c = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead < 0xF5) {
        length = 4, c = lead & 0x07, least = 0x10000;
    } else {
        return {1, false};
    }
    if (at + length > path.size()) return {1, false};
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return {1, false};
        c = (c << 6) | (byte(at + i) & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) return {1, false};
    // A control character of the upper range is escaped byte by byte.
    if (IsControl(c)) return {1, false};
    return {length, true};
}
#endif

void AppendUnits(std::u16string& text, const NativeString& path, std::size_t at,
                 std::size_t length) {
#ifdef _WIN32
    text.append(path.begin() + at, path.begin() + at + length);
#else
    text += Utf8ToUtf16(std::string_view(path).substr(at, length));
#endif
}

// As a shell writes it inside $'...'.
void AppendEscape(std::u16string& text, Unit unit) {
    const auto value = static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<Unit>>(unit));
    static constexpr char Named[] = {'\a', 'a',  '\b', 'b',  '\t', 't',  '\n',
                                     'n',  '\v', 'v',  '\f', 'f',  '\r', 'r'};
    for (std::size_t i = 0; i < sizeof Named; i += 2) {
        if (value == static_cast<unsigned char>(Named[i])) {
            text += u'\\';
            text += static_cast<char16_t>(Named[i + 1]);
            return;
        }
    }
    static constexpr char16_t Digits[] = u"0123456789ABCDEF";
    if (value > 0xFF) {  // a lone surrogate
        text += u"\\u";
        for (int shift = 12; shift >= 0; shift -= 4)
            text += Digits[(value >> shift) & 0xF];
        return;
    }
    text += u'\\';
    for (int shift = 6; shift >= 0; shift -= 3)
        text += Digits[(value >> shift) & 7];
}

NativeString QuotedStart() {
    return NativeString(1, '$') + NativeString(1, '\'');
}

}  // namespace

std::u16string PathForMessage(const NativeString& path) {
    // A quoted path starts with ' or $', so a plain one must not.
    bool plain = path.empty() || (path[0] != '\'' && path.rfind(QuotedStart(), 0) != 0);
    for (std::size_t at = 0; plain && at < path.size();) {
        const PathStep step = NextStep(path, at);
        plain = step.printable;
        at += step.length;
    }
    if (plain) return NativeToUtf16(path);

    // 'a'$'\n''b': quoted runs of printable text, $'...' escapes between them.
    std::u16string text;
    bool quoted = false;
    for (std::size_t at = 0; at < path.size();) {
        const PathStep step = NextStep(path, at);
        if (step.printable) {
            if (!quoted) text += u'\'';
            quoted = true;
            if (path[at] == '\'') {
                text += u"'\\''";
            } else {
                AppendUnits(text, path, at, step.length);
            }
        } else {
            if (quoted) text += u'\'';
            quoted = false;
            text += u"$'";
            AppendEscape(text, path[at]);
            text += u'\'';
        }
        at += step.length;
    }
    if (quoted) text += u'\'';
    return text;
}

bool IsTemporaryName(const NativeString& name) {
    static constexpr char Start[] = ".brevikon-";
    static constexpr char End[] = ".tmp";
    const std::size_t start = sizeof Start - 1, end = sizeof End - 1;
    if (name.size() < start + end) return false;
    for (std::size_t i = 0; i < start; ++i) {
        if (name[i] != static_cast<Unit>(Start[i])) return false;
    }
    for (std::size_t i = 0; i < end; ++i) {
        if (name[name.size() - end + i] != static_cast<Unit>(End[i])) return false;
    }
    return true;
}

}  // namespace brevikon
