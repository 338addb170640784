#pragma once
// A large document converted in pieces on two threads at once, each piece handed on in its
// turn: the bytes of the one-pass conversion, in about half its time where a second core is
// free, and never more held than the two pieces being made.
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/byte_sink.h"
#include "format/text_pieces.h"

namespace brevikon {

// Converts one piece at a time into a buffer of its own.
class PieceConverter {
  public:
    virtual ~PieceConverter() = default;
    // Replaces the buffer's content with the piece's bytes; ended: the text ended within the
    // piece. False when memory ran out.
    virtual bool Convert(const TextPiece& piece, bool& ended) = 0;
    virtual std::string_view bytes() const = 0;
};

// Converts the pieces from textStart up to each of ends (the last being the image's length),
// `mine` on this thread and `helper` on a second one (or `mine` all of them where no thread
// can be started), and hands each piece to sink in order, the last being the one the text
// ended in. False when memory ran out or sink refused a piece; nothing is handed on after
// that. What a converter or the sink throws is thrown here, once both threads have stopped.
bool StreamPieces(std::int64_t textStart, const std::vector<std::int64_t>& ends,
                  PieceConverter& mine, PieceConverter& helper, ByteSink& sink);

}  // namespace brevikon
