#include "text_export/export_buffer.h"

#include <cstdint>
#include <new>

namespace brevikon {

bool ExportBuffer::Reset(std::size_t size) {
    used_ = 0;
    lost_ = false;
    if (size <= capacity_) return true;
    storage_.reset();
    capacity_ = 0;
    return Grow(size);
}

bool ExportBuffer::Grow(std::size_t extra) {
    if (lost_) return false;
    std::size_t capacity = capacity_ < 4096 ? 4096 : capacity_;
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
    if (from + count > used_ || !Ensure(count)) return;
    std::memcpy(storage_.get() + used_, storage_.get() + from, count);
    used_ += count;
}

}  // namespace brevikon
