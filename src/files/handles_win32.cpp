#include "files/handles_win32.h"

#include <algorithm>
#include <atomic>
#include <cstdint>

#include "files/write_content.h"

namespace brevikon::win32 {

HANDLE OpenToLook(const std::wstring& path, bool followLink) {
    const DWORD flags =
        FILE_FLAG_BACKUP_SEMANTICS | (followLink ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    return ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, flags, nullptr);
}

Holds KindOf(DWORD fileType, DWORD attributes) {
    if (fileType != FILE_TYPE_DISK) return Holds::Device;
    const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return folder ? Holds::FolderLink : Holds::Link;
    return folder ? Holds::Folder : Holds::File;
}

Holds Followed(Holds kind) {
    if (kind == Holds::Link) return Holds::File;
    if (kind == Holds::FolderLink) return Holds::Folder;
    return kind;
}

FileTime UnixTimeOf(const FILETIME& time) {
    constexpr std::int64_t StepsPerSecond = 10'000'000;
    constexpr std::int64_t StepsFrom1601To1970 = 116'444'736'000'000'000;
    // Windows itself refuses times past the largest signed value; such a one stays at that.
    const std::uint64_t raw = (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
    const std::int64_t steps =
        static_cast<std::int64_t>(std::min<std::uint64_t>(raw, INT64_MAX)) - StepsFrom1601To1970;
    // Rounded down, so that the nanoseconds of a time before 1970 stay positive.
    std::int64_t seconds = steps / StepsPerSecond;
    std::int64_t rest = steps % StepsPerSecond;
    if (rest < 0) {
        seconds -= 1;
        rest += StepsPerSecond;
    }
    return {seconds, static_cast<std::int32_t>(rest * 100)};
}

bool Examine(HANDLE handle, Opened& opened, int& error) {
    const DWORD type = ::GetFileType(handle);
    if (type != FILE_TYPE_DISK) {
        opened.kind = Holds::Device;
        return true;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(handle, &info)) {
        error = LastError();
        return false;
    }
    opened.attributes = info.dwFileAttributes;
    opened.kind = KindOf(type, info.dwFileAttributes);
    opened.identity.device = info.dwVolumeSerialNumber;
    opened.identity.index = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    opened.modified = UnixTimeOf(info.ftLastWriteTime);
    return true;
}

std::optional<ReadStatus> ReadRefusal(const Opened& opened, const ExpectedFile* expected) {
    if (opened.kind == Holds::Device)
        return expected ? ReadStatus::Changed : ReadStatus::NotRegular;
    if (opened.kind == Holds::Link || opened.kind == Holds::FolderLink) return ReadStatus::Changed;
    if (expected && opened.identity != expected->identity) return ReadStatus::Changed;
    if (opened.kind == Holds::Folder) return ReadStatus::Directory;
    return std::nullopt;
}

FolderCheck CheckFolder(const Opened& opened, const std::optional<FileIdentity>& expected) {
    if (opened.kind == Holds::Link || opened.kind == Holds::FolderLink) return FolderCheck::Changed;
    if (opened.kind != Holds::Folder) return FolderCheck::NotAFolder;
    if (expected && opened.identity != *expected) return FolderCheck::Changed;
    return FolderCheck::Held;
}

Obstacle OutputObstacle(const Opened& existing, const std::optional<FileIdentity>& input) {
    if (existing.kind != Holds::File) return Obstacle::NotReplaced;
    if (input && existing.identity == *input) return Obstacle::Input;
    // MoveFileExW refuses to replace it on Windows but not everywhere; say so either way.
    if (existing.attributes & FILE_ATTRIBUTE_READONLY) return Obstacle::ReadOnly;
    return Obstacle::None;
}

Obstacle NamedTargetObstacle(const Opened& existing) {
    switch (existing.kind) {
        case Holds::Folder:
        case Holds::FolderLink:
            return Obstacle::Folder;
        case Holds::Device:
            // Only one that could not be opened for writing comes here.
            return Obstacle::NotReplaced;
        case Holds::Link:
            return Obstacle::None;
        case Holds::File:
            break;
    }
    return (existing.attributes & FILE_ATTRIBUTE_READONLY) ? Obstacle::ReadOnly : Obstacle::None;
}

FolderEntry::Kind ListedKind(Holds own, Holds target) {
    switch (own) {
        case Holds::File:
            return FolderEntry::Kind::File;
        case Holds::Folder:
            return FolderEntry::Kind::Folder;
        case Holds::Link:
            return target == Holds::File ? FolderEntry::Kind::LinkToFile : FolderEntry::Kind::Other;
        case Holds::FolderLink:
        case Holds::Device:
            break;
    }
    return FolderEntry::Kind::Other;
}

bool IsPlainName(const std::wstring& name) {
    if (name.empty() || name.back() == L'.' || name.back() == L' ') return false;
    for (const wchar_t c : name) {
        if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos)
            return false;
    }
    return true;
}

std::wstring WithoutLongPathPrefix(const std::wstring& path) {
    if (path.starts_with(L"\\\\?\\UNC\\")) return L"\\" + path.substr(7);
    if (path.starts_with(L"\\\\?\\")) return path.substr(4);
    return path;
}

std::wstring FinalPath(HANDLE handle) {
    std::wstring path(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD length =
            ::GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()),
                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return WithoutLongPathPrefix(path);
        }
        // Too small: length is the size needed, with the terminator. It may grow meanwhile.
        path.assign(length, L'\0');
    }
    return {};
}

bool WriteAll(HANDLE file, std::string_view bytes, int& error) {
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const DWORD chunk = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!::WriteFile(file, data, chunk, &written, nullptr)) {
            error = LastError();
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

bool WriteContent(HANDLE file, const OutputContent& content, WriteResult& result) {
    return WriteContentWith(content, result, [file](std::string_view bytes, int& error) {
        return WriteAll(file, bytes, error);
    });
}

bool LookAtName(const std::wstring& path, Opened& opened, bool& exists, int& error) {
    exists = false;
    FileHandle look(OpenToLook(path, false));
    if (!look.valid()) {
        if (::GetLastError() == ERROR_FILE_NOT_FOUND) return true;
        error = LastError();
        return false;
    }
    if (!Examine(look.get(), opened, error)) return false;
    exists = true;
    return true;
}

WriteResult WriteThenMove(const std::wstring& folder, const std::wstring& target,
                          const OutputContent& content, bool replaceExisting) {
    WriteResult result;
    // A short name in the target's own folder: the move stays on one volume, and a long
    // target name does not make the temporary one too long.
    static std::atomic<unsigned> counter{0};
    std::wstring temporary;
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && handle == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = folder + L".brevikon-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                    std::to_wstring(counter.fetch_add(1)) + L".tmp";
        handle = CreateTemporary(temporary);
        if (handle == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS &&
            ::GetLastError() != ERROR_ALREADY_EXISTS) {
            break;
        }
    }
    if (handle == INVALID_HANDLE_VALUE) {
        result.systemError = LastError();
        return result;
    }
    FileHandle file(handle);
    bool ok = WriteContent(file.get(), content, result);
    if (!file.Close() && ok) {
        result.systemError = LastError();
        ok = false;
    }
    // The move takes the name itself: a link that holds it is replaced, never written through.
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replaceExisting ? MOVEFILE_REPLACE_EXISTING : 0);
    if (ok && !::MoveFileExW(temporary.c_str(), target.c_str(), flags)) {
        result.systemError = LastError();
        ok = false;
    }
    if (!ok) ::DeleteFileW(temporary.c_str());
    ForgetTemporary(temporary);
    result.ok = ok;
    return result;
}

}  // namespace brevikon::win32
