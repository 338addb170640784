// The converter on any bytes: the first byte picks the font mode, the rest is the document.
// Checks the RTF's shape and that it equals the literal reference conversion.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "support/reference_converter.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

// Braces balance when escaped ones ("\{", "\}") and escaped backslashes are skipped.
bool BracesBalance(std::string_view rtf) {
    long depth = 0;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
        } else if (rtf[i] == '{') {
            ++depth;
        } else if (rtf[i] == '}') {
            if (--depth < 0) return false;
        }
    }
    return depth == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brevikon;
    if (size < 1) return 0;
    static const CharTable table = [] {
        CharTable built{};
        BuildCharTable(built);
        return built;
    }();
    const FontMode fontMode = data[0] & 1 ? FontMode::Proportional : FontMode::Monospace;
    const std::uint8_t* image = size > 1 ? data + 1 : nullptr;
    const auto length = static_cast<std::int64_t>(size - 1);

    RtfBuffer buffer;
    std::uint8_t attributes = 0;
    const std::u16string summary =
        ConvertDocumentToRtf({image, length, fontMode, &table, &buffer, &attributes});
    Require(attributes == 0);
    Require(buffer.complete());
    Require(buffer.used + 8 <= buffer.capacity);
    const std::string_view rtf = buffer.content();
    if (!image) {
        Require(rtf.empty() && summary.empty());
        return 0;
    }
    for (const char c : rtf)
        Require(static_cast<unsigned char>(c) < 128);
    constexpr std::string_view header = "{\\rtf1\\ansi\\ansicpg1252\\uc1\\deff0\r\n";
    Require(rtf.substr(0, header.size()) == header);
    Require(rtf.back() == '}');
    Require(BracesBalance(rtf));
    Require(summary.rfind(u"Text ab ", 0) == 0);

    RtfBuffer reference;
    test::ReferenceConvert(image, length, fontMode, table, reference);
    Require(reference.content() == rtf);
    Require(reference.capacity == buffer.capacity);
    return 0;
}
