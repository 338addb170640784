#pragma once
// Where the document image and the RTF buffer take their memory from. A refusal is a null
// pointer, never an exception, so that callers can answer it with "Zu wenig Speicher."
// instead of dying.
#include <cstddef>

namespace brevikon {

class Heap {
  public:
    virtual ~Heap() = default;
    virtual void* AllocateZeroed(std::size_t size) = 0;
    // A block whose bytes are all written before any is read (an image a file is read into):
    // no clearing needed, though a heap may give it cleared.
    virtual void* Allocate(std::size_t size) { return AllocateZeroed(size); }
    // Keeps the first oldSize bytes and zero-fills the rest. On refusal returns null and
    // leaves the old block as it was.
    virtual void* GrowZeroed(void* block, std::size_t oldSize, std::size_t newSize) = 0;
    // size: what the block was allocated or last grown to.
    virtual void Release(void* block, std::size_t size) = 0;
};

// The process heap. Stateless, so one shared instance is enough. On Linux, blocks of
// LargeBlockSize and more are mapped directly with huge pages where the kernel offers them:
// they arrive zero-filled without being cleared, grow without a copy, and a 32 MiB document
// then costs a few dozen page faults instead of thousands.
constexpr std::size_t LargeBlockSize = 2 * 1024 * 1024;
Heap& ProcessHeap();

// One owned block of bytes, or none; filled whole by its owner before it is read.
class HeapBlock {
  public:
    HeapBlock() = default;
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;
    HeapBlock(HeapBlock&& other) noexcept;
    HeapBlock& operator=(HeapBlock&& other) noexcept;
    ~HeapBlock() { Release(); }

    // Releases what is held, then takes a new block; false (and nothing held) on refusal.
    bool Allocate(Heap& heap, std::size_t size);
    void Release();

    unsigned char* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool held() const { return data_ != nullptr; }

  private:
    Heap* heap_ = nullptr;
    unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace brevikon
