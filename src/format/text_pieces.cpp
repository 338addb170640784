#include "format/text_pieces.h"

#include <algorithm>
#include <cstring>

#include "format/document_format.h"
#include "format/text_codes.h"

namespace brevikon {

std::int64_t FindPieceEnd(const std::uint8_t* image, std::int64_t length, std::int64_t from,
                          std::int64_t before) {
    before = std::min(before, length);
    for (std::int64_t p = std::max<std::int64_t>(from, 0); p < before; ++p) {
        const void* found = std::memchr(image + p, HardBreak, static_cast<std::size_t>(before - p));
        if (!found) return -1;
        p = static_cast<const std::uint8_t*>(found) - image;
        if (!EveryReadingStepsAt(image, p)) continue;  // an escape's attribute or character
        std::int64_t end = p + 1;
        if (end < length && image[end] == LineFeed) ++end;
        return end;
    }
    return -1;
}

std::vector<std::int64_t> FindPieceEnds(const std::uint8_t* image, std::int64_t length,
                                        std::int64_t textStart, std::int64_t pieceSize) {
    std::vector<std::int64_t> ends;
    std::int64_t from = textStart;
    while (length - from > pieceSize) {
        const std::int64_t end =
            FindPieceEnd(image, length, from + pieceSize, from + 2 * pieceSize);
        if (end < 0) {
            if (length - from <= 2 * pieceSize) break;  // the rest is one piece
            return {};
        }
        ends.push_back(end);
        from = end;
    }
    if (from < length) ends.push_back(length);
    return ends;
}

}  // namespace brevikon
