// Folders held open, and default-named outputs written into them. A held folder is shared
// for reading and writing but not for deleting: while it is held nobody can rename or remove
// it, nor put a link in its place, so a path that starts with its path stays inside it.
// NTFS also refuses to rename any folder above one that has an open handle below it.
#include <windows.h>

#include <utility>

#include "files/file_access.h"
#include "files/handles_win32.h"

namespace brevikon {

using win32::FileHandle;
using win32::Holds;
using win32::Opened;

namespace {

// Traverse is a data right, so the missing delete sharing binds others; attribute rights
// alone would take part in no sharing at all.
HANDLE OpenFolderHandle(const std::wstring& path, bool followLink) {
    const DWORD flags =
        FILE_FLAG_BACKUP_SEMANTICS | (followLink ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    return ::CreateFileW(path.c_str(), FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, flags,
                         nullptr);
}

std::wstring WithSeparator(std::wstring path) {
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
    return path;
}

// Opens path as a folder and checks what was opened; the result holds it only when it is one.
FolderResult HoldFolder(const std::wstring& path, bool followLink, std::wstring heldPath,
                        const std::optional<FileIdentity>& expected) {
    FolderResult result;
    FileHandle folder(OpenFolderHandle(path, followLink));
    if (!folder.valid()) {
        result.systemError = win32::LastError();
        return result;
    }
    Opened opened;
    if (!win32::Examine(folder.get(), opened, result.systemError)) return result;
    if (followLink) opened.kind = win32::Followed(opened.kind);
    switch (win32::CheckFolder(opened, expected)) {
        case win32::FolderCheck::Held:
            result.folder = FolderHandle(folder.Release(), std::move(heldPath));
            break;
        case win32::FolderCheck::Changed:
            result.changed = true;
            break;
        case win32::FolderCheck::NotAFolder:
            result.systemError = ERROR_PATH_NOT_FOUND;
            result.notAFolder = true;
            break;
    }
    return result;
}

}  // namespace

FolderHandle& FolderHandle::operator=(FolderHandle&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, None);
        path_ = std::move(other.path_);
        other.path_.clear();
    }
    return *this;
}

void FolderHandle::Close() {
    if (handle_ != None) ::CloseHandle(static_cast<HANDLE>(handle_));
    handle_ = None;
    path_.clear();
}

FolderResult OpenFolder(const NativeString& path, const std::optional<FileIdentity>& expected) {
    std::wstring named = path;
    if (named.size() == 2 && named[1] == L':') {
        // "C:" is the current folder of drive C; with a separator added it would be its root.
        wchar_t full[MAX_PATH];
        const DWORD length = ::GetFullPathNameW(named.c_str(), MAX_PATH, full, nullptr);
        if (length > 0 && length < MAX_PATH) named.assign(full, length);
    }
    return HoldFolder(named.empty() ? L"." : named, true, WithSeparator(named), expected);
}

FolderResult OpenSubfolder(const FolderHandle& parent, const NativeString& name, bool create) {
    FolderResult result;
    if (!parent.open() || !win32::IsPlainName(name)) {
        result.systemError = parent.open() ? ERROR_INVALID_NAME : ERROR_INVALID_HANDLE;
        return result;
    }
    const std::wstring path = parent.path() + name;
    if (create && !::CreateDirectoryW(path.c_str(), nullptr) &&
        ::GetLastError() != ERROR_ALREADY_EXISTS) {
        result.systemError = win32::LastError();
        return result;
    }
    // Whatever holds the name now, made by us or not, is checked on the handle.
    return HoldFolder(path, false, path + L'\\', std::nullopt);
}

NativeString RealFolderPath(const FolderHandle& folder) {
    if (!folder.open()) return {};
    return win32::FinalPath(static_cast<HANDLE>(folder.native()));
}

WriteResult WriteNewOutput(const FolderHandle& folder, const NativeString& name,
                           const OutputContent& content,
                           const std::optional<FileIdentity>& inputIdentity) {
    WriteResult result;
    if (!folder.open() || !win32::IsPlainName(name)) {
        result.systemError = folder.open() ? ERROR_INVALID_NAME : ERROR_INVALID_HANDLE;
        return result;
    }
    const std::wstring target = folder.path() + name;
    Opened existing;
    bool exists = false;
    if (!win32::LookAtName(target, existing, exists, result.systemError)) return result;
    if (exists) {
        switch (win32::OutputObstacle(existing, inputIdentity)) {
            case win32::Obstacle::None:
                break;
            case win32::Obstacle::Input:
                result.isInput = true;
                result.notReplaced = true;
                return result;
            case win32::Obstacle::Folder:
            case win32::Obstacle::NotReplaced:
                result.notReplaced = true;
                return result;
            case win32::Obstacle::ReadOnly:
                result.systemError = ERROR_ACCESS_DENIED;
                return result;
        }
    }
    // Without a file there a moment ago, a link put there since is not replaced either.
    return win32::WriteThenMove(folder.path(), target, content, exists);
}

}  // namespace brevikon
