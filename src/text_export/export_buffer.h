#pragma once
// A growable byte buffer for the plain-text and HTML exports. Unlike the RtfBuffer it is not
// zero-filled: a 32 MiB document becomes up to 96 MiB of text, and clearing that first would
// cost as much as writing it. One buffer is reused for every document a worker converts.
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace brevikon {

class ExportBuffer {
  public:
    // Empties the buffer and makes room for at least `size` bytes; false when memory ran out,
    // and then every later append is lost too.
    bool Reset(std::size_t size);

    // Room for `extra` more bytes behind the content; grows by doubling.
    bool Ensure(std::size_t extra) {
        if (used_ + extra <= capacity_) return true;
        return Grow(extra);
    }

    void Append(std::string_view bytes) {
        if (!Ensure(bytes.size())) return;
        std::memcpy(storage_.get() + used_, bytes.data(), bytes.size());
        used_ += bytes.size();
    }
    void Append(char byte) {
        if (!Ensure(1)) return;
        storage_[used_++] = byte;
    }
    // Appends bytes [from, from + count) of the content itself (a run written twice).
    void AppendCopy(std::size_t from, std::size_t count);

    // For tight loops: write at most the reserved room at end(), then Commit what was written.
    char* end() { return storage_.get() + used_; }
    void Commit(std::size_t count) { used_ += count; }

    std::size_t size() const { return used_; }
    std::string_view content() const { return {storage_.get(), used_}; }
    // False once an append was dropped for lack of memory since the last Reset.
    bool complete() const { return !lost_; }

  private:
    bool Grow(std::size_t extra);

    std::unique_ptr<char[]> storage_;
    std::size_t capacity_ = 0;
    std::size_t used_ = 0;
    bool lost_ = false;
};

}  // namespace brevikon
