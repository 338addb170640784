#pragma once
// The one growable byte buffer that every RTF producer writes into, and the escaping of
// single characters and plain texts into RTF.
#include <cstdint>
#include <cstring>
#include <string_view>

#include "base/byte_sink.h"
#include "base/heap.h"

namespace brevikon {

constexpr std::int64_t RtfBufferInitialCapacity = 65536;
// Always kept free behind the content, so that a reader can place a terminator.
constexpr std::int64_t RtfBufferSpare = 8;

struct RtfBuffer {
    std::int64_t capacity = 0;
    std::int64_t used = 0;
    unsigned char* storage = nullptr;
    // Set when an append was dropped because the heap refused storage; cleared by a reset.
    // A producer checks it so that a truncated RTF is never passed on as a whole one.
    bool appendLost = false;
    Heap* heap = &ProcessHeap();
    // Streaming: once the capacity has reached drainAt, a full buffer hands its content to
    // drain and starts again at its front instead of growing, so an output of any size needs
    // no more than about drainAt bytes. A refused piece counts as a lost append. Null: the
    // buffer holds everything, as the viewer needs it.
    ByteSink* drain = nullptr;
    std::int64_t drainAt = 0;

    RtfBuffer() = default;
    explicit RtfBuffer(Heap& source) : heap(&source) {}
    RtfBuffer(const RtfBuffer&) = delete;
    RtfBuffer& operator=(const RtfBuffer&) = delete;
    ~RtfBuffer();

    std::string_view content() const {
        return storage ? std::string_view(reinterpret_cast<const char*>(storage),
                                          static_cast<std::size_t>(used))
                       : std::string_view();
    }
    // True when the buffer holds storage and no append was lost since the last reset.
    bool complete() const { return storage != nullptr && !appendLost; }
};

void ResetRtfBuffer(RtfBuffer& buffer);
// Releases the storage for good (program end); capacity and used drop to 0.
void ReleaseRtfBuffer(RtfBuffer& buffer);

// Makes room for used + extra + RtfBufferSpare bytes by doubling the capacity, or by handing
// the content to the drain once the capacity has reached drainAt. Returns false (content and
// capacity unchanged) when there is no storage, the heap refuses the growth or the drain
// refuses the content.
bool GrowRtfBuffer(RtfBuffer& buffer, std::int64_t extra);

inline bool EnsureRtfCapacity(RtfBuffer& buffer, std::int64_t extra) {
    if (buffer.used + extra + RtfBufferSpare <= buffer.capacity && buffer.storage) return true;
    return GrowRtfBuffer(buffer, extra);
}

// Appends 8-bit text byte for byte (producers pass ASCII only).
inline void AppendRtf(RtfBuffer& buffer, std::string_view text) {
    const auto n = static_cast<std::int64_t>(text.size());
    if (n <= 0 || !buffer.storage) return;
    if (!EnsureRtfCapacity(buffer, n)) {
        buffer.appendLost = true;
        return;
    }
    std::memcpy(buffer.storage + buffer.used, text.data(), text.size());
    buffer.used += n;
}

// The RTF form of one UTF-16 code unit (or of any integer code), written into out;
// returns its length, at most RtfCharMaxLength. Codes without a form give 0.
constexpr int RtfCharMaxLength = 8;  // "\u65535?"
int FormatRtfChar(std::int64_t code, char out[RtfCharMaxLength]);

void AppendRtfChar(RtfBuffer& buffer, std::int64_t code);

// Plain text with LF line ends as RTF body text: LF becomes "\line" and CR LF, CR is dropped.
void AppendRtfText(RtfBuffer& buffer, std::u16string_view text);

}  // namespace brevikon
