#pragma once
// A growable byte buffer for the plain-text and HTML exports. Unlike the RtfBuffer it is not
// zero-filled: a 32 MiB document becomes up to 96 MiB of text, and clearing that first would
// cost as much as writing it. One buffer is reused for every document a worker converts.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "base/byte_sink.h"

namespace brevikon {

class ExportBuffer {
  public:
    // Empties the buffer and makes room for at least `size` bytes; false when memory ran out,
    // and then every later append is lost too.
    bool Reset(std::size_t size);

    // Streaming: once the capacity has reached drainAt, a full buffer hands what it holds to
    // drain and starts again at its front instead of growing (bytes held for a copy stay).
    // Null: the buffer keeps everything. Set before Reset; a refused piece is a lost append.
    void StreamTo(ByteSink* drain, std::size_t drainAt) {
        drain_ = drain;
        drainAt_ = drainAt;
    }
    bool streaming() const { return drain_ != nullptr; }
    std::size_t drainAt() const { return drainAt_; }
    // Hands what is held to the drain (the end of a streamed output); false when refused.
    bool Flush();
    // Bytes from this position on stay in the buffer until released: a writer copies them.
    void HoldFrom(std::size_t position) { heldFrom_ = position; }
    void ReleaseHold() { heldFrom_ = NothingHeld; }

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
    // Appends bytes [from, from + count) of the output itself (a run written twice); while
    // streaming, only bytes held with HoldFrom are still there.
    void AppendCopy(std::size_t from, std::size_t count);

    // For tight loops: write at most the reserved room at end(), then Commit what was written.
    char* end() { return storage_.get() + used_; }
    void Commit(std::size_t count) { used_ += count; }

    // The length of the output so far, handed-over bytes included.
    std::size_t size() const { return flushed_ + used_; }
    // What the buffer holds: all of the output unless streaming.
    std::string_view content() const { return {storage_.get(), used_}; }
    // False once an append was dropped for lack of memory since the last Reset.
    bool complete() const { return !lost_; }

  private:
    bool Grow(std::size_t extra);
    // Hands the bytes before the held ones to the drain.
    bool Drain();

    static constexpr std::size_t NothingHeld = SIZE_MAX;
    static constexpr std::size_t SmallestCapacity = 4096;

    std::unique_ptr<char[]> storage_;
    std::size_t capacity_ = 0;
    std::size_t used_ = 0;
    bool lost_ = false;
    ByteSink* drain_ = nullptr;
    std::size_t drainAt_ = 0;
    std::size_t flushed_ = 0;  // bytes handed to the drain since the last Reset
    std::size_t heldFrom_ = NothingHeld;
};

}  // namespace brevikon
