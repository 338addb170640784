#pragma once
// Random documents built from the format's own codes, so that every pairing of codes, escapes
// and runs gets exercised: single codes, escapes with a small attribute set (neighbours often
// match), and stretches of letters or of any byte above the control codes, long enough for
// the converters' sixteen-byte blocks.
#include <cstdint>
#include <random>
#include <vector>

namespace brevikon::test {

inline std::vector<std::uint8_t> RandomDocument(std::mt19937& random, std::size_t length) {
    static constexpr std::uint8_t codes[] = {26, 13, 10, 141, 160, 128, 32, 12, 9, 27, 83, 1, 0};
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < length) {
        const unsigned pick = random() % 12;
        if (pick < 4) {
            bytes.push_back(static_cast<std::uint8_t>('a' + random() % 26));
        } else if (pick < 7) {
            bytes.push_back(codes[random() % std::size(codes)]);
        } else if (pick < 9) {
            bytes.insert(bytes.end(), {27, 83, static_cast<std::uint8_t>(random() % 4),
                                       static_cast<std::uint8_t>(random())});
        } else if (pick < 10) {
            bytes.push_back(static_cast<std::uint8_t>(random()));
        } else {
            const bool ascii = pick == 10;
            for (unsigned n = 8 + random() % 40; n > 0; --n) {
                const unsigned any = 32 + random() % 224;
                bytes.push_back(static_cast<std::uint8_t>(ascii ? 32 + any % 95 : any));
            }
        }
    }
    // Rarely keep the end marker early, so long documents reach the end of the file.
    for (auto& byte : bytes) {
        if (byte == 26 && random() % 8 != 0) byte = 'z';
    }
    bytes.resize(length);
    return bytes;
}

}  // namespace brevikon::test
