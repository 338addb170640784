#pragma once
// Hex dumps of a stretch of the document image for the structure report.
#include <cstdint>
#include <string>

namespace brevikon {

// Bytes per dump line, and the width of a full line before its line feed.
constexpr std::int64_t HexDumpBytesPerLine = 16;
constexpr std::int64_t HexDumpLineWidth = 76;

// Up to `count` bytes from offset `start`, sixteen to a line: the offset in six hex digits,
// the bytes in hex (an extra blank after the eighth) and as printable ASCII between bars.
// Each line ends with LF. The stretch is clamped to the image; a start outside it or a count
// below 1 gives the empty text.
std::u16string HexDump(const std::uint8_t* image, std::int64_t length, std::int64_t start,
                       std::int64_t count);

}  // namespace brevikon
