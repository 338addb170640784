#include "cli/image_budget.h"

#include <algorithm>

namespace brevikon {

void BudgetedHeap::Take(std::uint64_t size, bool wait) {
    std::unique_lock lock(mutex_);
    if (wait) {
        released_.wait(lock, [&] { return held_ == 0 || held_ + size <= budget_; });
    }
    held_ += size;
    peak_ = std::max(peak_, held_);
}

void BudgetedHeap::Give(std::uint64_t size) {
    {
        const std::lock_guard lock(mutex_);
        held_ -= std::min(held_, size);
    }
    released_.notify_all();
}

void* BudgetedHeap::AllocateZeroed(std::size_t size) {
    Take(size, true);
    void* block = heap_.AllocateZeroed(size);
    if (!block) Give(size);
    return block;
}

void* BudgetedHeap::Allocate(std::size_t size) {
    Take(size, true);
    void* block = heap_.Allocate(size);
    if (!block) Give(size);
    return block;
}

void* BudgetedHeap::GrowZeroed(void* block, std::size_t oldSize, std::size_t newSize) {
    const std::uint64_t extra = newSize > oldSize ? newSize - oldSize : 0;
    Take(extra, false);
    void* grown = heap_.GrowZeroed(block, oldSize, newSize);
    if (!grown) Give(extra);
    return grown;
}

void BudgetedHeap::Release(void* block, std::size_t size) {
    heap_.Release(block, size);
    Give(size);
}

std::uint64_t BudgetedHeap::peak() const {
    const std::lock_guard lock(mutex_);
    return peak_;
}

}  // namespace brevikon
