// make-icon: draws the program's icon and writes it as a .ico of PNG images, one per size
// that Windows asks for across display resolutions. Runs on the build machine.
//
//   make-icon OUTPUT.ico [PNG-FOLDER]
//
// With PNG-FOLDER, each image is also written there as icon-SIZE.png, for looking at.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "ico_file.h"
#include "icon_art.h"
#include "png_encoder.h"

namespace {

constexpr int IconSizes[] = {16, 20, 24, 32, 40, 48, 64, 128, 256};

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace brevikon::icon;
    if (argc < 2 || argc > 3) {
        std::cerr << "usage: make-icon OUTPUT.ico [PNG-FOLDER]\n";
        return 2;
    }
    std::vector<IconImage> images;
    for (const int size : IconSizes) {
        const std::vector<std::uint8_t> rgba = DrawDocumentIcon(size);
        images.push_back({size, EncodePng(size, size, rgba)});
        if (argc == 3) {
            const std::string png = std::string(argv[2]) + "/icon-" + std::to_string(size) + ".png";
            if (!WriteBytes(png, images.back().png)) {
                std::cerr << "make-icon: cannot write " << png << "\n";
                return 1;
            }
        }
    }
    if (!WriteBytes(argv[1], PackIconFile(images))) {
        std::cerr << "make-icon: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
