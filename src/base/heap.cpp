#include "base/heap.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include <cstdlib>
#include <cstring>
#include <utility>

namespace brevikon {

namespace {

#if defined(__linux__)
void* MapZeroed(std::size_t size) {
    void* block = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) return nullptr;
    ::madvise(block, size, MADV_HUGEPAGE);  // a hint; without it the block works the same
    return block;
}
#endif

class CHeap final : public Heap {
  public:
    void* AllocateZeroed(std::size_t size) override {
#if defined(__linux__)
        if (size >= LargeBlockSize) return MapZeroed(size);
#endif
        return std::calloc(size ? size : 1, 1);
    }

    void* Allocate(std::size_t size) override {
#if defined(__linux__)
        if (size >= LargeBlockSize) return MapZeroed(size);
#endif
        return std::malloc(size ? size : 1);
    }

    void* GrowZeroed(void* block, std::size_t oldSize, std::size_t newSize) override {
#if defined(__linux__)
        if (newSize >= LargeBlockSize) {
            if (oldSize >= LargeBlockSize) {
                // Pages added by mremap are fresh anonymous pages: zero already.
                void* grown = ::mremap(block, oldSize, newSize, MREMAP_MAYMOVE);
                if (grown == MAP_FAILED) return nullptr;
                ::madvise(grown, newSize, MADV_HUGEPAGE);
                return grown;
            }
            void* grown = MapZeroed(newSize);
            if (!grown) return nullptr;
            std::memcpy(grown, block, oldSize);
            std::free(block);
            return grown;
        }
#endif
        void* grown = std::realloc(block, newSize ? newSize : 1);
        if (grown && newSize > oldSize) {
            std::memset(static_cast<unsigned char*>(grown) + oldSize, 0, newSize - oldSize);
        }
        return grown;
    }

    void Release(void* block, [[maybe_unused]] std::size_t size) override {
#if defined(__linux__)
        if (size >= LargeBlockSize) {
            ::munmap(block, size);
            return;
        }
#endif
        std::free(block);
    }
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
    data_ = static_cast<unsigned char*>(heap.Allocate(size));
    if (!data_) return false;
    heap_ = &heap;
    size_ = size;
    return true;
}

void HeapBlock::Release() {
    if (data_) heap_->Release(data_, size_);
    data_ = nullptr;
    size_ = 0;
    heap_ = nullptr;
}

}  // namespace brevikon
