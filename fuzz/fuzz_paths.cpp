// The path functions on any UTF-16 text (two input bytes per code unit), and the paths
// shown in messages on any bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/text.h"
#include "document/path_names.h"
#include "files/file_access.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

// Reads a message path back as a shell would: 'literal', $'escaped' and \' outside quotes.
std::string ShellWords(const std::u16string& shown) {
    if (shown.rfind(u"'", 0) != 0 && shown.rfind(u"$'", 0) != 0) {
        return brevikon::Utf16ToUtf8(shown);
    }
    std::string bytes;
    std::size_t i = 0;
    while (i < shown.size()) {
        if (shown[i] == u'\'') {
            const std::size_t end = shown.find(u'\'', i + 1);
            Require(end != std::u16string::npos);
            bytes += brevikon::Utf16ToUtf8(shown.substr(i + 1, end - i - 1));
            i = end + 1;
        } else if (shown.compare(i, 2, u"\\'") == 0) {
            bytes += '\'';
            i += 2;
        } else {
            Require(shown.compare(i, 3, u"$'\\") == 0);
            i += 3;
            static const std::u16string named = u"abtnvfr";
            static const char values[] = "\a\b\t\n\v\f\r";
            if (const std::size_t at = named.find(shown[i]); at != std::u16string::npos) {
                bytes += values[at];
                i += 1;
            } else {
                bytes += static_cast<char>((shown[i] - u'0') * 64 + (shown[i + 1] - u'0') * 8 +
                                           (shown[i + 2] - u'0'));
                i += 3;
            }
            Require(shown[i++] == u'\'');
        }
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brevikon;
#ifndef _WIN32
    // A native path in a message: one line, without control characters, and the bytes come
    // back from it.
    const std::string native(reinterpret_cast<const char*>(data), size);
    const std::u16string shown = PathForMessage(native);
    for (const char16_t c : shown)
        Require(c >= 0x20 && c != 0x7F && !(c >= 0x80 && c < 0xA0));
    Require(ShellWords(shown) == native);
#endif
    std::u16string path;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        path += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    }
    const std::u16string directory = DirectoryPart(path);
    const std::u16string name = FileNamePart(path, false);
    const std::u16string stem = FileNamePart(path, true);
    const std::u16string extension = ExtensionPart(path);

    // Every part is a piece of the path, and the stem begins the name.
    Require(path.find(directory) != std::u16string::npos);
    Require(path.find(name) != std::u16string::npos);
    Require(name.rfind(stem, 0) == 0);
    Require(extension.find_first_of(u"\\/") == std::u16string::npos);

    // Without quotes and bars, folder and name cover the path exactly, and the stem and the
    // extension make up the name.
    if (path.find_first_of(u"\"|") == std::u16string::npos) {
        Require(directory + name == path);
        Require(stem + (extension.empty() ? u"" : u"." + extension) == name);
    }
    return 0;
}
