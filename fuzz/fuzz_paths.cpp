// The path functions on any UTF-16 text (two input bytes per code unit).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/path_names.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brevikon;
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
