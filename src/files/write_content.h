#pragma once
// Writing an OutputContent through the system's own write of one piece, shared by the POSIX
// and the Windows file layers.
#include <string_view>

#include "files/file_access.h"

namespace brevikon {

// writePiece(bytes, error) writes bytes whole, or returns false with the system's error; the
// first error ends the content. False with result.systemError for a failed write, or with
// result.incomplete when the content could not be made whole.
template <typename WritePiece>
bool WriteContentWith(const OutputContent& content, WriteResult& result, WritePiece writePiece) {
    class PieceSink : public ByteSink {
      public:
        explicit PieceSink(WritePiece& write) : write_(write) {}
        bool Put(std::string_view bytes) override { return error == 0 && write_(bytes, error); }
        int error = 0;

      private:
        WritePiece& write_;
    } sink(writePiece);
    const bool whole = content.WriteTo(sink);
    if (sink.error != 0) {
        result.systemError = sink.error;
        return false;
    }
    result.incomplete = !whole;
    return whole;
}

}  // namespace brevikon
