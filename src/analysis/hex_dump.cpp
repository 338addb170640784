#include "analysis/hex_dump.h"

#include "base/text.h"

namespace brevikon {

namespace {

constexpr char16_t HexDigits[] = u"0123456789ABCDEF";

}  // namespace

std::u16string HexDump(const std::uint8_t* image, std::int64_t length, std::int64_t start,
                       std::int64_t count) {
    // A start before the image or at/after its end has nothing to show. Comparing with
    // length - start (never negative here) instead of adding keeps a huge count from
    // overflowing.
    if (!image || start < 0 || start >= length) return {};
    if (count > length - start) count = length - start;
    if (count < 1) return {};

    std::u16string out;
    const std::int64_t lines = (count + HexDumpBytesPerLine - 1) / HexDumpBytesPerLine;
    out.reserve(static_cast<std::size_t>(lines * (HexDumpLineWidth + 1)));
    for (std::int64_t row = 0; row <= count - 1; row += HexDumpBytesPerLine) {
        const std::uint8_t* bytes = image + start + row;
        const std::int64_t present =
            count - row < HexDumpBytesPerLine ? count - row : HexDumpBytesPerLine;
        // Six digits, or more once offsets pass $FFFFFF.
        out += HexText(static_cast<std::uint64_t>(start + row), 6);
        out += u"  ";
        // The hex column keeps its full width on a short line, so the bars stay aligned.
        for (std::int64_t k = 0; k < HexDumpBytesPerLine; ++k) {
            if (k < present) {
                out += HexDigits[bytes[k] >> 4];
                out += HexDigits[bytes[k] & 15];
                out += u' ';
            } else {
                out += u"   ";
            }
            if (k == 7) out += u' ';
        }
        out += u" |";
        for (std::int64_t k = 0; k < present; ++k) {
            const std::uint8_t b = bytes[k];
            out += b >= 32 && b <= 126 ? static_cast<char16_t>(b) : u'.';
        }
        out += u"|\n";
    }
    return out;
}

}  // namespace brevikon
