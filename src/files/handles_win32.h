#pragma once
// What the Win32 file and folder functions share: a handle that closes itself, what an opened
// name holds, the decisions taken on that, and the write of a new file that takes its name
// only when complete. The decisions are plain functions so that they can be checked on every
// kind of holder, also on links that a test system may not be able to make.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "files/file_access.h"

namespace brevikon::win32 {

class FileHandle {
  public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() {
        if (valid()) ::CloseHandle(handle_);
    }
    HANDLE get() const { return handle_; }
    // Gives the handle away; this one holds none after.
    HANDLE Release() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle;
    }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    // Closes now and reports the close's own failure (a delayed write error shows here).
    bool Close() {
        const BOOL ok = ::CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return ok != FALSE;
    }

  private:
    HANDLE handle_;
};

inline int LastError() {
    return static_cast<int>(::GetLastError());
}

// Opens path only to look at it: folders too, and the name's own entry when a link is not to
// be followed. Attribute rights take part in no sharing, so nobody's open file is disturbed.
HANDLE OpenToLook(const std::wstring& path, bool followLink);

// What an opened name holds. Link: a reparse point (a symbolic link, or a file that a
// filter stands in for); FolderLink: one on a folder (also a junction or a mount point).
enum class Holds { File, Folder, Link, FolderLink, Device };

struct Opened {
    Holds kind = Holds::Device;
    DWORD attributes = 0;
    FileIdentity identity;  // not for a device
    FileTime modified;      // the last write; not for a device
};

// A Win32 time (100 ns steps since 1601-01-01 UTC) as seconds and nanoseconds since 1970.
FileTime UnixTimeOf(const FILETIME& time);

// Looks at what a name holds, a link not followed: exists tells whether anything is there.
// False with error when it cannot be looked at (and what cannot be looked at is not replaced).
bool LookAtName(const std::wstring& path, Opened& opened, bool& exists, int& error);

Holds KindOf(DWORD fileType, DWORD attributes);
// The kind as seen through a followed link: a reparse point still found there is a file or
// folder that a filter stands in for (compressed, deduplicated, held in a cloud).
Holds Followed(Holds kind);

// Fills opened from the handle; false with error when the system does not say.
bool Examine(HANDLE handle, Opened& opened, int& error);

// Why what was opened is not the file to read, if it is not. opened.kind is as Followed()
// gives it where links were followed, so a Link here is one that was not to be.
std::optional<ReadStatus> ReadRefusal(const Opened& opened, const ExpectedFile* expected);

// Whether an opened folder may be held: a link (seen only where it was not to be followed) or
// another folder than the expected one is Changed.
enum class FolderCheck { Held, Changed, NotAFolder };
FolderCheck CheckFolder(const Opened& opened, const std::optional<FileIdentity>& expected);

// What stands in the way of a new file under a name that holds existing.
enum class Obstacle { None, Folder, ReadOnly, NotReplaced, Input };
// For a default-named output: only a regular file other than the input gives way.
Obstacle OutputObstacle(const Opened& existing, const std::optional<FileIdentity>& input);
// For a path the user named: a link gives way as a name; a folder does not.
Obstacle NamedTargetObstacle(const Opened& existing);

// A walk's kind of an entry whose own entry holds own; target: what a Link leads to, Followed.
FolderEntry::Kind ListedKind(Holds own, Holds target);

// True for a name that a Win32 path takes as it is: not empty, no separator, stream, wildcard
// or control character, and no trailing dot or blank (Win32 drops those and would name
// another entry).
bool IsPlainName(const std::wstring& name);

// Where an opened file or folder really lies, without the \\?\ prefix; empty on failure.
std::wstring FinalPath(HANDLE handle);
std::wstring WithoutLongPathPrefix(const std::wstring& path);

// Writes bytes to a new temporary file in folder (a prefix ending in a separator, or empty)
// and then moves it to target. Without replaceExisting the move fails when target has
// appeared meanwhile. On any failure no temporary file is left.
WriteResult WriteThenMove(const std::wstring& folder, const std::wstring& target,
                          const OutputContent& content, bool replaceExisting);

bool WriteAll(HANDLE file, std::string_view bytes, int& error);

// Writes content into file as it is produced; false with result.systemError for a failed
// write, or with result.incomplete when the content could not be made whole.
bool WriteContent(HANDLE file, const OutputContent& content, WriteResult& result);

// Creates a new temporary file for writing and records its name, so that an interrupt
// removes it; ForgetTemporary once it is moved into place or deleted.
HANDLE CreateTemporary(const std::wstring& name);
void ForgetTemporary(const std::wstring& name);

}  // namespace brevikon::win32
