#pragma once
// The input images of all workers together within a budget, so that many workers over large
// documents wait for memory rather than fail for want of it.
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "base/heap.h"

namespace brevikon {

// A heap whose blocks together stay within a budget: a request that would pass it waits
// until others are released. A block larger than the whole budget is granted once no other
// is held, so every file gets its turn. A worker holds one image at a time and asks for the
// next only after releasing the last, so no two workers ever wait on each other.
class BudgetedHeap final : public Heap {
  public:
    BudgetedHeap(Heap& heap, std::uint64_t budget) : heap_(heap), budget_(budget) {}

    void* AllocateZeroed(std::size_t size) override;
    void* Allocate(std::size_t size) override;
    // Granted at once: waiting here would hold a block while waiting for others.
    void* GrowZeroed(void* block, std::size_t oldSize, std::size_t newSize) override;
    void Release(void* block, std::size_t size) override;

    // The most held at once so far.
    std::uint64_t peak() const;

  private:
    void Take(std::uint64_t size, bool wait);
    void Give(std::uint64_t size);

    Heap& heap_;
    const std::uint64_t budget_;
    mutable std::mutex mutex_;
    std::condition_variable released_;
    std::uint64_t held_ = 0;
    std::uint64_t peak_ = 0;
};

}  // namespace brevikon
