#include "rtf/rtf_buffer.h"

namespace brevikon {

RtfBuffer::~RtfBuffer() {
    ReleaseRtfBuffer(*this);
}

void ReleaseRtfBuffer(RtfBuffer& buffer) {
    if (buffer.storage)
        buffer.heap->Release(buffer.storage, static_cast<std::size_t>(buffer.capacity));
    buffer.storage = nullptr;
    buffer.capacity = 0;
    buffer.used = 0;
}

void ResetRtfBuffer(RtfBuffer& buffer) {
    if (buffer.storage)
        buffer.heap->Release(buffer.storage, static_cast<std::size_t>(buffer.capacity));
    buffer.capacity = RtfBufferInitialCapacity;
    buffer.storage = static_cast<unsigned char*>(
        buffer.heap->AllocateZeroed(static_cast<std::size_t>(RtfBufferInitialCapacity)));
    buffer.used = 0;
    // Without storage every append is lost, so the buffer is incomplete from the start.
    buffer.appendLost = buffer.storage == nullptr;
}

bool GrowRtfBuffer(RtfBuffer& buffer, std::int64_t extra) {
    if (!buffer.storage || extra < 0) return false;
    if (buffer.drain && buffer.capacity >= buffer.drainAt && buffer.used > 0) {
        // Streaming: what is written goes out, and the buffer starts again at its front.
        if (!buffer.drain->Put(buffer.content())) return false;
        buffer.used = 0;
    }
    const std::int64_t needed = buffer.used + extra + RtfBufferSpare;
    if (needed <= buffer.capacity) return true;
    std::int64_t capacity = buffer.capacity;
    while (capacity < needed) {
        // Past this the doubling would overflow; no heap grants such a block anyway.
        if (capacity > INT64_MAX / 2) return false;
        capacity *= 2;
    }
    if (static_cast<std::uint64_t>(capacity) > SIZE_MAX) return false;
    void* grown = buffer.heap->GrowZeroed(buffer.storage, static_cast<std::size_t>(buffer.capacity),
                                          static_cast<std::size_t>(capacity));
    if (!grown) return false;
    buffer.storage = static_cast<unsigned char*>(grown);
    buffer.capacity = capacity;
    return true;
}

int FormatRtfChar(std::int64_t code, char out[RtfCharMaxLength]) {
    static constexpr char hex[] = "0123456789abcdef";
    if (code == '\\' || code == '{' || code == '}') {
        out[0] = '\\';
        out[1] = static_cast<char>(code);
        return 2;
    }
    if (code >= 32 && code <= 126) {
        out[0] = static_cast<char>(code);
        return 1;
    }
    if (code >= 160 && code <= 255) {
        out[0] = '\\';
        out[1] = '\'';
        out[2] = hex[code >> 4];
        out[3] = hex[code & 15];
        return 4;
    }
    if (code >= 256 && code <= 65535) {
        char digits[5];
        int count = 0;
        for (auto value = code; value > 0; value /= 10)
            digits[count++] = char('0' + value % 10);
        int n = 0;
        out[n++] = '\\';
        out[n++] = 'u';
        while (count > 0)
            out[n++] = digits[--count];
        out[n++] = '?';
        return n;
    }
    // Control characters, 127 to 159, negatives; codes above 65535 are no UTF-16 code unit.
    return 0;
}

void AppendRtfChar(RtfBuffer& buffer, std::int64_t code) {
    char form[RtfCharMaxLength];
    const int n = FormatRtfChar(code, form);
    AppendRtf(buffer, std::string_view(form, static_cast<std::size_t>(n)));
}

void AppendRtfText(RtfBuffer& buffer, std::u16string_view text) {
    for (const char16_t unit : text) {
        if (unit == u'\n') {
            AppendRtf(buffer, "\\line\r\n");
        } else if (unit != u'\r') {
            AppendRtfChar(buffer, unit);
        }
    }
}

}  // namespace brevikon
