#pragma once
// A minimal PNG writer for the program's icon: 8-bit RGBA, no filtering, the image data in
// stored (uncompressed) deflate blocks. Enough for a few icon images, with no library.
#include <cstdint>
#include <span>
#include <vector>

namespace brevikon::icon {

// CRC-32 as PNG chunks use it (polynomial 0xEDB88320, reflected, inverted in and out).
std::uint32_t Crc32(std::span<const std::uint8_t> bytes);

// Adler-32 as the zlib stream trailer uses it.
std::uint32_t Adler32(std::span<const std::uint8_t> bytes);

// A zlib stream (RFC 1950) of stored deflate blocks (RFC 1951, BTYPE 00) holding `data`.
std::vector<std::uint8_t> ZlibStored(std::span<const std::uint8_t> data);

// A complete PNG file. `rgba` holds width x height pixels, row by row, 4 bytes each,
// straight (not premultiplied) alpha.
std::vector<std::uint8_t> EncodePng(int width, int height, std::span<const std::uint8_t> rgba);

}  // namespace brevikon::icon
