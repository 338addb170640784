#pragma once
// The program's icon, drawn at any size: a page with a folded corner and lines of text,
// and a magnifying glass over it. Anti-aliased by sampling each pixel many times.
#include <cstdint>
#include <vector>

namespace brevikon::icon {

// size x size pixels, row by row, 4 bytes each (R, G, B, straight alpha).
std::vector<std::uint8_t> DrawDocumentIcon(int size);

}  // namespace brevikon::icon
