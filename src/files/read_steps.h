#pragma once
// The steps of a file read that are the same on every system, whole or in blocks; the system
// files supply opening, the length and the reading of one piece.
#include <algorithm>
#include <cstdint>
#include <span>
#include <system_error>
#include <thread>

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

// From this length on, an image is read in two halves at once: copying out of the page cache
// is what reading a large file costs, and a second core halves it.
constexpr std::int64_t TwoPartReadFrom = std::int64_t{8} << 20;

// Fills the image as FillImage does, from a source that reads at any offset, the second half
// on a thread of its own where one can be started. readAt(into, offset, count, error) returns
// the bytes it read, 0 at the end of the file, or -1 after setting error.
template <class ReadAt>
void FillImageInTwoParts(ReadResult& result, HeapBlock& image, ReadAt readAt) {
    const std::int64_t length = result.length;
    const std::int64_t half = length / 2;
    // Each part's bytes that arrived, and its error; a part stops short at the end or an error.
    struct Part {
        std::int64_t from, to, got = 0;
        int error = 0;
    } parts[2] = {{0, half}, {half, length}};
    const auto readPart = [&image, &readAt](Part& part) {
        while (part.from + part.got < part.to) {
            const std::int64_t at = part.from + part.got;
            const std::int64_t got = readAt(image.data() + at, at, part.to - at, part.error);
            if (got <= 0) break;
            part.got += got;
        }
    };
    std::thread second;
    try {
        second = std::thread(readPart, std::ref(parts[1]));
    } catch (const std::system_error&) {
        // No second thread to be had: this one reads both halves.
    }
    readPart(parts[0]);
    if (second.joinable()) {
        second.join();
    } else {
        readPart(parts[1]);
    }
    for (const Part& part : parts) {
        if (part.got < part.to - part.from) {
            image.Release();
            result.systemError = parts[0].error ? parts[0].error : parts[1].error;
            result.status = ReadStatus::ShortRead;
            return;
        }
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
