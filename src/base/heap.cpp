#include "base/heap.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace brevikon {

namespace {

class CHeap final : public Heap {
  public:
    void* AllocateZeroed(std::size_t size) override { return std::calloc(size ? size : 1, 1); }
    void* GrowZeroed(void* block, std::size_t oldSize, std::size_t newSize) override {
        void* grown = std::realloc(block, newSize ? newSize : 1);
        if (grown && newSize > oldSize) {
            std::memset(static_cast<unsigned char*>(grown) + oldSize, 0, newSize - oldSize);
        }
        return grown;
    }
    void Release(void* block) override { std::free(block); }
};

}  // namespace

Heap& ProcessHeap() {
    static CHeap heap;
    return heap;
}

HeapBlock::HeapBlock(HeapBlock&& other) noexcept
    : heap_(std::exchange(other.heap_, nullptr)),
      data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)) {}

HeapBlock& HeapBlock::operator=(HeapBlock&& other) noexcept {
    if (this != &other) {
        Release();
        heap_ = std::exchange(other.heap_, nullptr);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

bool HeapBlock::Allocate(Heap& heap, std::size_t size) {
    Release();
    data_ = static_cast<unsigned char*>(heap.AllocateZeroed(size));
    if (!data_) return false;
    heap_ = &heap;
    size_ = size;
    return true;
}

void HeapBlock::Release() {
    if (data_) heap_->Release(data_);
    data_ = nullptr;
    size_ = 0;
    heap_ = nullptr;
}

}  // namespace brevikon
