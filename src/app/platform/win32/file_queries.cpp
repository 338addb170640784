#include "app/platform/win32/file_queries.h"

#include "app/platform/platform.h"

namespace brevikon {

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// "C:" alone, after trailing separators are gone: a drive.
bool IsDriveName(const std::wstring& path) {
    return path.size() == 2 && path[1] == L':' &&
           ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
}

}  // namespace

std::int64_t QueryPathSize(const std::wstring& path) {
    std::wstring trimmed = path;
    while (!trimmed.empty() && IsSeparator(trimmed.back()))
        trimmed.pop_back();
    // Nothing left of a path made of separators: the root of the current drive.
    if (trimmed.empty()) return path.empty() ? SizeNothing : SizeFolder;
    if (IsDriveName(trimmed)) {
        const std::wstring root = trimmed + L'\\';
        return ::GetDriveTypeW(root.c_str()) == DRIVE_NO_ROOT_DIR ? SizeNothing : SizeFolder;
    }
    // Wildcards would be matched by a directory search; here they simply name nothing.
    if (trimmed.find_first_of(L"*?") != std::wstring::npos) return SizeNothing;

    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(trimmed.c_str(), GetFileExInfoStandard, &data)) {
        return SizeNothing;
    }
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return SizeFolder;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) return SizeNothing;
    return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

HANDLE OpenDocumentFile(const std::wstring& path) {
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return file;
    if (::GetFileType(file) != FILE_TYPE_DISK) {
        ::CloseHandle(file);
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

std::int64_t OpenFileLength(HANDLE file) {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size)) return -1;
    return size.QuadPart;
}

std::int64_t ReadOnce(HANDLE file, std::uint8_t* block, std::int64_t count) {
    if (count <= 0) return 0;
    // One request; a document is far below the 4 GiB one request can carry.
    const DWORD asked = count > 0xFFFFFFFF ? 0xFFFFFFFF : static_cast<DWORD>(count);
    DWORD got = 0;
    if (!::ReadFile(file, block, asked, &got, nullptr)) return 0;
    return got;
}

}  // namespace brevikon
