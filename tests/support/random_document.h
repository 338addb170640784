#pragma once
// Random documents built from the format's own codes, so that every pairing of codes, escapes
// and runs gets exercised: single codes, escapes with a small attribute set (neighbours often
// match), and stretches of letters or of any byte above the control codes, long enough for
// the converters' sixteen-byte blocks.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace brevikon::test {

// Prose: long stretches of letters and blanks with an umlaut, a brace or a code now and then,
// as in ordinary letters, often ending in a soft break, where most sixteen-byte blocks hold
// one or two such bytes or none; the converters take blocks of that mix their own way.
// Plain: lines of ASCII that end in a hard break, some empty, with a brace, a code or an
// escape now and then, which the converters read as plain text.
enum class DocumentBytes { Any, Prose, Plain };

inline void AppendProse(std::mt19937& random, std::vector<std::uint8_t>& bytes) {
    static constexpr std::uint8_t rare[] = {0x84, 0x81, 0x94, 0xE1, 0x8E, 0xC4, '{', '\\',
                                            160,  128,  9,    10,   13,   141,  27,  0};
    for (unsigned n = 16 + random() % 200; n > 0; --n) {
        const unsigned pick = random() % 24;
        if (pick == 0) {
            bytes.push_back(rare[random() % std::size(rare)]);
        } else if (pick < 4) {
            bytes.push_back(' ');
        } else {
            bytes.push_back(static_cast<std::uint8_t>('a' + random() % 26));
        }
    }
    // Half the stretches end as lines of prose do: in a soft break with its line feed.
    if (random() % 2 == 0) bytes.insert(bytes.end(), {141, 10});
}

inline void AppendPlainLine(std::mt19937& random, std::vector<std::uint8_t>& bytes) {
    static constexpr std::uint8_t rare[] = {'{', '}', '\\', 9, 1, 0, 160, 128, 141, 12, 13, 10, 27};
    // One line in six is empty: a paragraph's end.
    for (unsigned n = random() % 6 == 0 ? 0 : random() % 90; n > 0; --n) {
        const unsigned pick = random() % 60;
        if (pick == 0) {
            bytes.push_back(rare[random() % std::size(rare)]);
        } else if (pick == 1) {
            bytes.insert(bytes.end(), {27, 83, static_cast<std::uint8_t>(random() % 4),
                                       static_cast<std::uint8_t>('a' + random() % 26)});
        } else if (pick < 10) {
            bytes.push_back(' ');
        } else {
            bytes.push_back(static_cast<std::uint8_t>('a' + random() % 26));
        }
    }
    bytes.push_back(13);
    if (random() % 8 != 0) bytes.push_back(10);
}

inline std::vector<std::uint8_t> RandomDocument(std::mt19937& random, std::size_t length,
                                                DocumentBytes kind = DocumentBytes::Any) {
    static constexpr std::uint8_t codes[] = {26, 13, 10, 141, 160, 128, 32, 12, 9, 27, 83, 1, 0};
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < length) {
        if (kind == DocumentBytes::Prose && random() % 4 != 0) {
            AppendProse(random, bytes);
            continue;
        }
        if (kind == DocumentBytes::Plain) {
            AppendPlainLine(random, bytes);
            continue;
        }
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

// The document in a block of exactly its length, so that the sanitizer build sees a read past
// its end (a vector's spare capacity would hide it).
inline std::unique_ptr<std::uint8_t[]> ExactImage(const std::vector<std::uint8_t>& bytes) {
    auto image = std::make_unique<std::uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), image.get());
    return image;
}

}  // namespace brevikon::test
