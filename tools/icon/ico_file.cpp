#include "ico_file.h"

namespace brevikon::icon {

namespace {

constexpr std::uint32_t DirectoryHeaderSize = 6;
constexpr std::uint32_t DirectoryEntrySize = 16;

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

}  // namespace

std::vector<std::uint8_t> PackIconFile(const std::vector<IconImage>& images) {
    std::vector<std::uint8_t> out;
    Put16(out, 0);  // reserved
    Put16(out, 1);  // type: icon
    Put16(out, static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset =
        DirectoryHeaderSize + DirectoryEntrySize * static_cast<std::uint32_t>(images.size());
    for (const IconImage& image : images) {
        // A side of 256 does not fit the byte and is written as 0.
        const auto side = static_cast<std::uint8_t>(image.size >= 256 ? 0 : image.size);
        out.push_back(side);  // width
        out.push_back(side);  // height
        out.push_back(0);     // colour count: not a palette image
        out.push_back(0);     // reserved
        Put16(out, 1);        // colour planes
        Put16(out, 32);       // bits per pixel
        Put32(out, static_cast<std::uint32_t>(image.png.size()));
        Put32(out, offset);
        offset += static_cast<std::uint32_t>(image.png.size());
    }
    for (const IconImage& image : images)
        out.insert(out.end(), image.png.begin(), image.png.end());
    return out;
}

}  // namespace brevikon::icon
