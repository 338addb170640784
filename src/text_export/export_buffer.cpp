#include "text_export/export_buffer.h"

#include <algorithm>
#include <cstdint>
#include <new>

namespace brevikon {

bool ExportBuffer::Reset(std::size_t size) {
    used_ = 0;
    flushed_ = 0;
    heldFrom_ = NothingHeld;
    lost_ = false;
    // A streamed output needs about its block: a larger buffer left by an earlier output
    // would hold memory, and make pieces, far beyond it.
    const bool oversized = drain_ && capacity_ > 2 * std::max(drainAt_, SmallestCapacity);
    if (size <= capacity_ && !oversized) return true;
    storage_.reset();
    capacity_ = 0;
    return Grow(size);
}

bool ExportBuffer::Drain() {
    const std::size_t out =
        heldFrom_ == NothingHeld ? used_ : std::min(used_, heldFrom_ - flushed_);
    if (out == 0) return true;
    if (!drain_->Put({storage_.get(), out})) {
        lost_ = true;
        return false;
    }
    std::memmove(storage_.get(), storage_.get() + out, used_ - out);
    used_ -= out;
    flushed_ += out;
    return true;
}

bool ExportBuffer::Flush() {
    if (lost_) return false;
    if (!drain_) return true;
    heldFrom_ = NothingHeld;  // the output ends: nothing is copied any more
    return Drain();
}

bool ExportBuffer::Grow(std::size_t extra) {
    if (lost_) return false;
    if (drain_ && capacity_ >= drainAt_) {
        if (!Drain()) return false;
        if (used_ + extra <= capacity_) return true;
    }
    std::size_t capacity = std::max(capacity_, SmallestCapacity);
    while (capacity < used_ + extra) {
        if (capacity > SIZE_MAX / 2) {
            lost_ = true;
            return false;
        }
        capacity *= 2;
    }
    // Uninitialised on purpose; nothing past used_ is ever read.
    std::unique_ptr<char[]> grown(new (std::nothrow) char[capacity]);
    if (!grown) {
        lost_ = true;
        return false;
    }
    if (used_ > 0) std::memcpy(grown.get(), storage_.get(), used_);
    storage_ = std::move(grown);
    capacity_ = capacity;
    return true;
}

void ExportBuffer::AppendCopy(std::size_t from, std::size_t count) {
    if (from < flushed_) {
        lost_ = true;  // handed over already: the copy would be wrong
        return;
    }
    if (from + count > size() || !Ensure(count)) return;
    // Where the bytes are now: Ensure may have handed earlier ones over.
    const std::size_t at = from - flushed_;
    std::memcpy(storage_.get() + used_, storage_.get() + at, count);
    used_ += count;
}

}  // namespace brevikon
