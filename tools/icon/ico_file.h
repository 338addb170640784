#pragma once
// Packing PNG images into a Windows icon file (.ico): a directory of entries, then the images.
#include <cstdint>
#include <vector>

namespace brevikon::icon {

struct IconImage {
    int size = 0;  // width and height in pixels, 1..256
    std::vector<std::uint8_t> png;
};

std::vector<std::uint8_t> PackIconFile(const std::vector<IconImage>& images);

}  // namespace brevikon::icon
