#pragma once
// The file-system questions of the viewer: what a path names, and reading a document whole.
#include <windows.h>

#include <cstdint>
#include <string>

namespace brevikon {

// The size in bytes of an existing file; -1 (SizeNothing) when the path names nothing or a
// device; -2 (SizeFolder) for a folder or a drive. Trailing '\' and '/' are ignored.
// Wildcards name nothing: the path is taken literally.
std::int64_t QueryPathSize(const std::wstring& path);

// An existing file opened for reading and shared with nobody; INVALID_HANDLE_VALUE on
// failure, also for a device or a pipe, which a read could block on for ever.
HANDLE OpenDocumentFile(const std::wstring& path);

// The length of an open file; -1 when it cannot be found out.
std::int64_t OpenFileLength(HANDLE file);

// One read request from the current position; the count actually read (0 on failure).
std::int64_t ReadOnce(HANDLE file, std::uint8_t* block, std::int64_t count);

}  // namespace brevikon
