#pragma once
// The steps of a file read that are the same on every system, whole or in blocks; the system
// files supply opening, the length and the reading of one piece.
#include <algorithm>
#include <cstdint>
#include <span>

#include "files/file_access.h"

namespace brevikon::read_steps {

// Refuses an empty or too long file, else allocates the image for its length (releasing what
// it held first).
inline bool AcceptLength(ReadResult& result, HeapBlock& image, std::int64_t length,
                         std::int64_t maxLength, Heap& heap) {
    result.length = length;
    if (length <= 0) {
        result.status = ReadStatus::Empty;
    } else if (length > maxLength) {
        result.status = ReadStatus::TooLarge;
    } else if (!image.Allocate(heap, static_cast<std::size_t>(length))) {
        result.status = ReadStatus::OutOfMemory;
    } else {
        return true;
    }
    return false;
}

// Reads until the whole length has arrived. readSome(into, count) returns the bytes it read,
// 0 at the end of the file, or -1 after setting result.systemError. Fewer bytes than the
// length is a failure, never an image with a zero tail.
template <class ReadSome>
void FillImage(ReadResult& result, HeapBlock& image, ReadSome readSome) {
    std::int64_t total = 0;
    while (total < result.length) {
        const std::int64_t got = readSome(image.data() + total, result.length - total);
        if (got <= 0) break;
        total += got;
    }
    if (total < result.length) {
        image.Release();
        result.status = ReadStatus::ShortRead;
        return;
    }
    result.status = ReadStatus::Ok;
}

// Hands the file's length to take in pieces of at most buffer's size, each as soon as it has
// arrived; readSome as for FillImage. Fewer bytes than the length is ShortRead.
template <class ReadSome, class Take>
void FeedBlocks(ReadResult& result, std::span<unsigned char> buffer, ReadSome readSome, Take take) {
    std::int64_t total = 0;
    while (total < result.length && !buffer.empty()) {
        const std::int64_t wanted =
            std::min(result.length - total, static_cast<std::int64_t>(buffer.size()));
        const std::int64_t got = readSome(buffer.data(), wanted);
        if (got <= 0) break;
        take(buffer.data(), static_cast<std::size_t>(got));
        total += got;
    }
    result.status = total < result.length ? ReadStatus::ShortRead : ReadStatus::Ok;
}

}  // namespace brevikon::read_steps
