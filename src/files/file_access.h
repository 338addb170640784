#pragma once
// Whole-file reading and safe writing in the system's native path form. Used by the
// converter and, on Windows, by the viewer's platform layer.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/heap.h"

namespace brevikon {

#ifdef _WIN32
using NativeString = std::wstring;
#else
using NativeString = std::string;
#endif

enum class PathKind { Missing, RegularFile, Directory, Other };

// What a path names (links followed). Other: a device, a pipe, a socket.
PathKind QueryPathKind(const NativeString& path);

enum class ReadStatus {
    Ok,
    Missing,      // the path names nothing
    Directory,    // a folder (or a drive)
    NotRegular,   // a device, a pipe or a socket: never waited on
    OpenFailed,   // exists but cannot be opened for reading
    Empty,        // length 0
    TooLarge,     // longer than the caller's limit
    OutOfMemory,  // the heap refused the image
    ShortRead,    // fewer bytes arrived than the file's length
};

struct ReadResult {
    ReadStatus status = ReadStatus::OpenFailed;
    HeapBlock image;          // exactly length bytes when status is Ok
    std::int64_t length = 0;  // the file's length as found on the open file
    int systemError = 0;      // errno or GetLastError() where one applies
};

// Reads a regular file whole into a zero-filled block of exactly its length.
ReadResult ReadWholeFile(const NativeString& path, std::int64_t maxLength, Heap& heap);

struct WriteResult {
    bool ok = false;
    int systemError = 0;
};

// Writes bytes to path. A regular or missing target is replaced only once every byte is
// written to a temporary file beside it and that file is closed; on failure the old target
// stays as it was and no temporary file is left. A target that exists and is not a regular
// file (a device, a pipe) is written directly, never replaced.
WriteResult WriteFileReplacing(const NativeString& path, std::string_view bytes);

// True when both paths name the same existing file (also through links or another case).
bool IsSameFile(const NativeString& first, const NativeString& second);

// A short German description of a system error code, for messages.
std::u16string SystemErrorText(int systemError);

// Conversions between the native path form and UTF-16.
std::u16string NativeToUtf16(const NativeString& text);
NativeString Utf16ToNative(std::u16string_view text);

}  // namespace brevikon
