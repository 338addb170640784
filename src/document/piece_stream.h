#pragma once
// A large document converted in pieces on two threads at once, each piece handed on in its
// turn: the bytes of the one-pass conversion, in about half its time where a second core is
// free, and never more held than a few pieces.
#include <cstdint>
#include <span>
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

// Converts the pieces from textStart up to each of ends (the last being the image's length)
// on this thread and a second one (this one alone where no thread can be started or there is
// one converter), each piece with whichever of converters is idle, and hands each piece to
// sink in order, the last being the one the text ended in. More converters than threads let a
// thread go on while its piece waits for its turn; no more pieces are held than there are
// converters. False when memory ran out or sink refused a piece; nothing is handed on after
// that. What a converter or the sink throws is thrown here, once both threads have stopped.
bool StreamPieces(std::int64_t textStart, const std::vector<std::int64_t>& ends,
                  std::span<PieceConverter* const> converters, ByteSink& sink);

}  // namespace brevikon
