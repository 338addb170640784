#pragma once
// A heap that refuses on request, for the out-of-memory paths.
#include "base/heap.h"

namespace brevikon::test {

class RefusingHeap final : public Heap {
  public:
    bool refuseAllocation = false;
    bool refuseGrowth = false;
    int allocations = 0;

    void* AllocateZeroed(std::size_t size) override {
        ++allocations;
        return refuseAllocation ? nullptr : ProcessHeap().AllocateZeroed(size);
    }
    void* GrowZeroed(void* block, std::size_t oldSize, std::size_t newSize) override {
        return refuseGrowth ? nullptr : ProcessHeap().GrowZeroed(block, oldSize, newSize);
    }
    void Release(void* block, std::size_t size) override { ProcessHeap().Release(block, size); }
};

}  // namespace brevikon::test
