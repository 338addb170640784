#pragma once
// A heap that keeps a guard of known bytes behind every block it hands out and counts the
// blocks whose guard was overwritten, found when the block is grown or released: a writer
// that stores past the end it was given shows up even where no sanitizer watches.
#include <cstdlib>
#include <cstring>

#include "base/heap.h"

namespace brevikon::test {

class GuardedHeap final : public Heap {
  public:
    int overruns = 0;

    void* AllocateZeroed(std::size_t size) override {
        auto* block = static_cast<unsigned char*>(std::calloc(size + Guard, 1));
        if (block) std::memset(block + size, GuardByte, Guard);
        return block;
    }
    void* GrowZeroed(void* block, std::size_t oldSize, std::size_t newSize) override {
        void* grown = AllocateZeroed(newSize);
        if (!grown) return nullptr;
        std::memcpy(grown, block, oldSize < newSize ? oldSize : newSize);
        Release(block, oldSize);
        return grown;
    }
    void Release(void* block, std::size_t size) override {
        const auto* guard = static_cast<const unsigned char*>(block) + size;
        for (std::size_t i = 0; i < Guard; ++i) {
            if (guard[i] != GuardByte) {
                ++overruns;
                break;
            }
        }
        std::free(block);
    }

  private:
    static constexpr std::size_t Guard = 64;
    static constexpr unsigned char GuardByte = 0xA5;
};

}  // namespace brevikon::test
