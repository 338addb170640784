#pragma once
// Where a text stream can be cut into pieces that every reader (RTF, text, HTML) converts
// alone, each piece as it would be converted within the whole: right after a paragraph end.
// There every reader is in the state it starts in, and none of its steps looks across.
#include <cstdint>
#include <vector>

namespace brevikon {

// A stretch of the text stream converted alone: the bytes from `from` up to `to`, read as if
// the image ended at `to` (a piece end, or the image's length), and whether the form's
// opening (first) and closing (last) belong to it.
struct TextPiece {
    std::int64_t from = 0;
    std::int64_t to = 0;
    bool first = true;
    bool last = true;
};

// The position right after a hard break (and the line feed it takes with it) that begins at
// or after `from` and before `before`, where the hard break is a code of its own: none of the
// three bytes before it is an Escape, so it cannot be part of an attribute escape, whatever
// came earlier. -1 when there is none.
std::int64_t FindPieceEnd(const std::uint8_t* image, std::int64_t length, std::int64_t from,
                          std::int64_t before);

// The ends of pieces of about pieceSize bytes each, from textStart to length (the last end):
// each piece ends at the first place found from pieceSize bytes on, within twice pieceSize,
// and the last is the rest.
// Empty when some stretch has no such place (a text without hard breaks): such a text is read
// in one pass, so that no piece can grow with the document.
std::vector<std::int64_t> FindPieceEnds(const std::uint8_t* image, std::int64_t length,
                                        std::int64_t textStart, std::int64_t pieceSize);

}  // namespace brevikon
