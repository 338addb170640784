#include <windows.h>

#include "files/file_access.h"
#include "files/handles_win32.h"
#include "files/read_steps.h"

namespace brevikon {

using win32::FileHandle;
using win32::Opened;

namespace {

std::wstring WithoutTrailingSeparators(const std::wstring& path) {
    std::wstring trimmed = path;
    while (trimmed.size() > 1 && (trimmed.back() == L'\\' || trimmed.back() == L'/')) {
        // Keep "C:\" whole: it names the drive itself.
        if (trimmed.size() == 3 && trimmed[1] == L':') break;
        trimmed.pop_back();
    }
    return trimmed;
}

bool NamesNothing(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            return true;
        default:
            return false;
    }
}

// Writes to what path names when that is a device or a pipe, through the very handle that
// showed it to be one. The name's own entry is opened, so a link to a device is not taken
// for one, and nothing is truncated. False when path holds no device (or cannot be opened;
// openError says why).
bool WriteToDevice(const std::wstring& path, const OutputContent& content, WriteResult& result,
                   int& openError) {
    FileHandle device(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!device.valid()) {
        openError = win32::LastError();
        return false;
    }
    const DWORD type = ::GetFileType(device.get()) & ~FILE_TYPE_REMOTE;
    if (type != FILE_TYPE_CHAR && type != FILE_TYPE_PIPE) return false;
    if (!win32::WriteContent(device.get(), content, result)) return true;
    if (!device.Close()) {
        result.systemError = win32::LastError();
        return true;
    }
    result.ok = true;
    return true;
}

// Opens path for a read and decides on what was opened: a regular file's handle, with
// result's identity, time and length filled in; otherwise INVALID_HANDLE_VALUE and
// result.status says why not.
HANDLE OpenRegularFile(const NativeString& path, const ExpectedFile* expected, ReadResult& result) {
    const bool followLink = expected == nullptr || expected->throughLink;
    // Backup semantics open a folder too, so that it is told from a file by what was opened.
    FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN |
                                      (followLink ? 0 : FILE_FLAG_OPEN_REPARSE_POINT),
                                  nullptr));
    if (!file.valid()) {
        const DWORD error = ::GetLastError();
        result.systemError = static_cast<int>(error);
        if (NamesNothing(error)) {
            result.status = ReadStatus::Missing;
        } else if (QueryPathKind(path) == PathKind::Directory) {
            // Only the message depends on this look; nothing is read.
            result.status = ReadStatus::Directory;
        } else {
            result.status = ReadStatus::OpenFailed;
        }
        return INVALID_HANDLE_VALUE;
    }
    Opened opened;
    if (!win32::Examine(file.get(), opened, result.systemError)) {
        result.status = ReadStatus::OpenFailed;
        return INVALID_HANDLE_VALUE;
    }
    if (followLink) opened.kind = win32::Followed(opened.kind);
    result.identity = opened.identity;
    result.modified = opened.modified;
    if (const auto refusal = win32::ReadRefusal(opened, expected)) {
        result.status = *refusal;
        return INVALID_HANDLE_VALUE;
    }
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file.get(), &size)) {
        result.systemError = static_cast<int>(::GetLastError());
        result.status = ReadStatus::OpenFailed;
        return INVALID_HANDLE_VALUE;
    }
    result.length = size.QuadPart;
    return file.Release();
}

// One read of up to count bytes, as read_steps wants it: the bytes read, 0 at the end, or -1
// with result.systemError set.
std::int64_t ReadSome(HANDLE file, unsigned char* into, std::int64_t count, ReadResult& result) {
    const DWORD chunk = count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count);
    DWORD got = 0;
    if (!::ReadFile(file, into, chunk, &got, nullptr)) {
        result.systemError = static_cast<int>(::GetLastError());
        return -1;
    }
    return got;
}

}  // namespace

PathKind QueryPathKind(const NativeString& path) {
    const DWORD attributes = ::GetFileAttributesW(WithoutTrailingSeparators(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return PathKind::Directory;
    if (attributes & FILE_ATTRIBUTE_DEVICE) return PathKind::Other;
    return PathKind::RegularFile;
}

std::optional<FileIdentity> IdentifyFile(const NativeString& path) {
    FileHandle file(win32::OpenToLook(path, true));
    Opened opened;
    int error = 0;
    if (!file.valid() || !win32::Examine(file.get(), opened, error)) return std::nullopt;
    if (opened.kind == win32::Holds::Device) return std::nullopt;
    return opened.identity;
}

ReadResult ReadWholeFile(const NativeString& path, std::int64_t maxLength, Heap& heap,
                         HeapBlock& image, const ExpectedFile* expected) {
    ReadResult result;
    FileHandle file(OpenRegularFile(path, expected, result));
    if (!file.valid()) return result;
    if (!read_steps::AcceptLength(result, image, result.length, maxLength, heap)) return result;
    read_steps::FillImage(result, image, [&](unsigned char* into, std::int64_t count) {
        return ReadSome(file.get(), into, count, result);
    });
    return result;
}

ReadResult ReadFileInBlocks(const NativeString& path, std::span<unsigned char> buffer,
                            const std::function<void(const unsigned char*, std::size_t)>& take,
                            const ExpectedFile* expected) {
    ReadResult result;
    FileHandle file(OpenRegularFile(path, expected, result));
    if (!file.valid()) return result;
    read_steps::FeedBlocks(
        result, buffer,
        [&](unsigned char* into, std::int64_t count) {
            return ReadSome(file.get(), into, count, result);
        },
        take);
    return result;
}

WriteResult WriteFileReplacing(const NativeString& path, const OutputContent& content) {
    WriteResult result;
    int deviceError = 0;
    if (WriteToDevice(path, content, result, deviceError)) return result;

    // Anything else is replaced by name; a look at the name's own entry says whether it may be.
    Opened existing;
    bool exists = false;
    if (!win32::LookAtName(path, existing, exists, result.systemError)) return result;
    if (exists) {
        switch (win32::NamedTargetObstacle(existing)) {
            case win32::Obstacle::None:
                break;
            case win32::Obstacle::Folder:
                result.systemError = ERROR_DIRECTORY;
                return result;
            case win32::Obstacle::ReadOnly:
                result.systemError = ERROR_ACCESS_DENIED;
                return result;
            case win32::Obstacle::NotReplaced:
            case win32::Obstacle::Input:
                // A device that would not open for writing.
                result.systemError = deviceError != 0 ? deviceError : ERROR_ACCESS_DENIED;
                return result;
        }
    }
    const std::size_t separator = path.find_last_of(L"\\/:");
    const std::wstring folder =
        separator == std::wstring::npos ? L"" : path.substr(0, separator + 1);
    return win32::WriteThenMove(folder, path, content, exists);
}

bool IsSameFile(const NativeString& first, const NativeString& second) {
    const std::optional<FileIdentity> a = IdentifyFile(first);
    return a && a == IdentifyFile(second);
}

std::u16string NativeToUtf16(const NativeString& text) {
    return std::u16string(text.begin(), text.end());
}

NativeString Utf16ToNative(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

}  // namespace brevikon
