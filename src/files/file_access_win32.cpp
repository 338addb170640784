#include <windows.h>

#include <atomic>

#include "base/text.h"
#include "files/file_access.h"
#include "files/read_steps.h"

namespace brevikon {

namespace {

class FileHandle {
  public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() {
        if (valid()) ::CloseHandle(handle_);
    }
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    bool Close() {
        const BOOL ok = ::CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return ok != FALSE;
    }

  private:
    HANDLE handle_;
};

bool WriteAll(HANDLE file, std::string_view bytes, int& error) {
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const DWORD chunk = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!::WriteFile(file, data, chunk, &written, nullptr)) {
            error = static_cast<int>(::GetLastError());
            return false;
        }
        if (written == 0) {
            error = ERROR_DISK_FULL;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

std::wstring WithoutTrailingSeparators(const std::wstring& path) {
    std::wstring trimmed = path;
    while (trimmed.size() > 1 && (trimmed.back() == L'\\' || trimmed.back() == L'/')) {
        // Keep "C:\" whole: it names the drive itself.
        if (trimmed.size() == 3 && trimmed[1] == L':') break;
        trimmed.pop_back();
    }
    return trimmed;
}

}  // namespace

PathKind QueryPathKind(const NativeString& path) {
    const DWORD attributes = ::GetFileAttributesW(WithoutTrailingSeparators(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return PathKind::Directory;
    if (attributes & FILE_ATTRIBUTE_DEVICE) return PathKind::Other;
    return PathKind::RegularFile;
}

ReadResult ReadWholeFile(const NativeString& path, std::int64_t maxLength, Heap& heap) {
    ReadResult result;
    const PathKind kind = QueryPathKind(path);
    if (kind == PathKind::Missing) {
        result.status = ReadStatus::Missing;
        return result;
    }
    if (kind == PathKind::Directory) {
        result.status = ReadStatus::Directory;
        return result;
    }
    FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        result.systemError = static_cast<int>(::GetLastError());
        result.status = ReadStatus::OpenFailed;
        return result;
    }
    if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
        result.status = ReadStatus::NotRegular;
        return result;
    }
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file.get(), &size)) {
        result.systemError = static_cast<int>(::GetLastError());
        result.status = ReadStatus::OpenFailed;
        return result;
    }
    if (!read_steps::AcceptLength(result, size.QuadPart, maxLength, heap)) return result;
    read_steps::FillImage(result, [&](unsigned char* into, std::int64_t count) -> std::int64_t {
        const DWORD chunk = count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count);
        DWORD got = 0;
        if (!::ReadFile(file.get(), into, chunk, &got, nullptr)) {
            result.systemError = static_cast<int>(::GetLastError());
            return -1;
        }
        return got;
    });
    return result;
}

WriteResult WriteFileReplacing(const NativeString& path, std::string_view bytes) {
    WriteResult result;
    const PathKind kind = QueryPathKind(path);
    if (kind == PathKind::Directory) {
        result.systemError = ERROR_DIRECTORY;
        return result;
    }
    if (kind == PathKind::Other) {
        // A device such as NUL: nothing to replace, write straight to it.
        FileHandle device(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!device.valid()) {
            result.systemError = static_cast<int>(::GetLastError());
            return result;
        }
        if (!WriteAll(device.get(), bytes, result.systemError)) return result;
        if (!device.Close()) {
            result.systemError = static_cast<int>(::GetLastError());
            return result;
        }
        result.ok = true;
        return result;
    }

    // A short temporary name in the target's folder, so that the final move stays on one
    // volume and a long target name does not make it too long.
    static std::atomic<unsigned> counter{0};
    const std::size_t separator = path.find_last_of(L"\\/:");
    const std::wstring folder =
        separator == std::wstring::npos ? L"" : path.substr(0, separator + 1);
    std::wstring temporary;
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && handle == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = folder + L".brevikon-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                    std::to_wstring(counter.fetch_add(1)) + L".tmp";
        handle = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (handle == INVALID_HANDLE_VALUE) {
        result.systemError = static_cast<int>(::GetLastError());
        return result;
    }
    FileHandle file(handle);
    bool ok = WriteAll(file.get(), bytes, result.systemError);
    if (!file.Close() && ok) {
        result.systemError = static_cast<int>(::GetLastError());
        ok = false;
    }
    if (ok && !::MoveFileExW(temporary.c_str(), path.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        result.systemError = static_cast<int>(::GetLastError());
        ok = false;
    }
    if (!ok) {
        ::DeleteFileW(temporary.c_str());
        return result;
    }
    result.ok = true;
    return result;
}

bool IsSameFile(const NativeString& first, const NativeString& second) {
    auto identify = [](const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
        // No access rights needed, only the identity; share everything so an open file works.
        FileHandle file(::CreateFileW(path.c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        return file.valid() && ::GetFileInformationByHandle(file.get(), &info);
    };
    BY_HANDLE_FILE_INFORMATION a;
    BY_HANDLE_FILE_INFORMATION b;
    if (!identify(first, a) || !identify(second, b)) return false;
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

std::u16string SystemErrorText(int systemError) {
    switch (systemError) {
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return u"Zugriff verweigert";
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return u"Kein Platz mehr auf dem Datentraeger";
        case ERROR_WRITE_PROTECT:
            return u"Schreibgeschuetzter Datentraeger";
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return u"Ordner oder Datei nicht gefunden";
        case ERROR_DIRECTORY:
            return u"Das ist ein Ordner";
        case ERROR_FILENAME_EXCED_RANGE:
            return u"Name zu lang";
        default:
            return u"Systemfehler " + DecimalText(systemError);
    }
}

std::u16string NativeToUtf16(const NativeString& text) {
    return std::u16string(text.begin(), text.end());
}

NativeString Utf16ToNative(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

}  // namespace brevikon
