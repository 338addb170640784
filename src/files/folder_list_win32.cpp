// A folder's entries as a walk sees them. Each entry is opened on its own name before it is
// judged, so what the listing said of it is never trusted; only a link to a file is followed.
#include <windows.h>

#include "files/file_access.h"
#include "files/handles_win32.h"

namespace brevikon {

using win32::FileHandle;
using win32::Holds;
using win32::Opened;

namespace {

FolderEntry ExamineEntry(const std::wstring& folder, const std::wstring& name) {
    FolderEntry entry;
    entry.name = name;
    entry.kind = FolderEntry::Kind::Unreadable;
    // Such a name (made through a \\?\ path) would reach another entry or none.
    if (!win32::IsPlainName(name)) {
        entry.systemError = ERROR_INVALID_NAME;
        return entry;
    }
    const std::wstring path = folder + name;
    FileHandle own(win32::OpenToLook(path, false));
    Opened opened;
    if (!own.valid()) {
        entry.systemError = win32::LastError();
        return entry;
    }
    if (!win32::Examine(own.get(), opened, entry.systemError)) return entry;
    Holds target = Holds::Device;
    if (opened.kind == Holds::Link) {
        // A dangling link or a cycle of links fails here and is reported as such.
        FileHandle followed(win32::OpenToLook(path, true));
        Opened end;
        if (!followed.valid()) {
            entry.systemError = win32::LastError();
            return entry;
        }
        if (!win32::Examine(followed.get(), end, entry.systemError)) return entry;
        target = win32::Followed(end.kind);
        if (target == Holds::File) {
            opened.identity = end.identity;
            entry.realPath = win32::FinalPath(followed.get());
            if (entry.realPath.empty()) {
                entry.systemError = win32::LastError();
                return entry;
            }
        }
    }
    entry.kind = win32::ListedKind(opened.kind, target);
    if (opened.kind != Holds::Device) entry.identity = opened.identity;
    return entry;
}

}  // namespace

bool ListFolder(const FolderHandle& folder, std::vector<FolderEntry>& entries, int& systemError) {
    systemError = 0;
    if (!folder.open()) {
        systemError = ERROR_INVALID_HANDLE;
        return false;
    }
    WIN32_FIND_DATAW found;
    const HANDLE search =
        ::FindFirstFileExW((folder.path() + L"*").c_str(), FindExInfoBasic, &found,
                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        // The root of an empty drive has not even "." to show.
        if (::GetLastError() == ERROR_FILE_NOT_FOUND) return true;
        systemError = win32::LastError();
        return false;
    }
    DWORD error = ERROR_SUCCESS;
    while (error == ERROR_SUCCESS) {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") entries.push_back(ExamineEntry(folder.path(), name));
        if (!::FindNextFileW(search, &found)) error = ::GetLastError();
    }
    ::FindClose(search);
    if (error != ERROR_NO_MORE_FILES) {
        systemError = static_cast<int>(error);
        return false;
    }
    return true;
}

}  // namespace brevikon
