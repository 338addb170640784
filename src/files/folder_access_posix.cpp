// Folders held open by descriptor: everything below one is reached relative to it, never by
// its path again, so swapping a folder for a link cannot send a read or a write elsewhere.
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "files/file_access.h"
#include "files/file_placing_posix.h"

namespace brevikon {

using posix::FileDescriptor;
using posix::IdentityOf;

namespace {

constexpr int FolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

NativeString WithSeparator(NativeString path) {
    if (!path.empty() && path.back() != '/') path += '/';
    return path;
}

// Where the file open on fd really lies; empty when that cannot be told.
NativeString RealPathOf(int fd, const NativeString& fallback) {
    char self[32];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
    char target[PATH_MAX + 1];
    const ssize_t length = ::readlink(self, target, PATH_MAX);
    if (length > 0 && target[0] == '/')
        return NativeString(target, static_cast<std::size_t>(length));
    char* resolved = ::realpath(fallback.c_str(), nullptr);
    if (!resolved) return {};
    NativeString path(resolved);
    ::free(resolved);
    return path;
}

// A link inside a folder: a file it leads to, with where that file really is, or Other.
void ResolveLink(const FolderHandle& folder, FolderEntry& entry) {
    // O_PATH opens nothing for reading: a pipe does not block, a device is not touched.
    FileDescriptor target(::openat(folder.native(), entry.name.c_str(), O_PATH | O_CLOEXEC));
    struct stat info;
    if (target.get() < 0 || ::fstat(target.get(), &info) != 0 || !S_ISREG(info.st_mode)) return;
    entry.kind = FolderEntry::Kind::LinkToFile;
    entry.identity = IdentityOf(info);
    entry.realPath = RealPathOf(target.get(), folder.path() + entry.name);
}

}  // namespace

FolderHandle& FolderHandle::operator=(FolderHandle&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        path_ = std::move(other.path_);
        other.handle_ = None;
    }
    return *this;
}

void FolderHandle::Close() {
    if (handle_ != None) ::close(handle_);
    handle_ = None;
}

FolderResult OpenFolder(const NativeString& path, const std::optional<FileIdentity>& expected) {
    FolderResult result;
    const int fd = ::open(path.empty() ? "." : path.c_str(), FolderFlags);
    if (fd < 0) {
        result.systemError = errno;
        return result;
    }
    FolderHandle folder(fd, WithSeparator(path));
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        result.systemError = errno;
        return result;
    }
    if (expected && !(IdentityOf(info) == *expected)) {
        result.changed = true;
        return result;
    }
    result.folder = std::move(folder);
    return result;
}

FolderResult OpenSubfolder(const FolderHandle& parent, const NativeString& name, bool create) {
    FolderResult result;
    if (create && ::mkdirat(parent.native(), name.c_str(), 0777) != 0 && errno != EEXIST) {
        result.systemError = errno;
        return result;
    }
    const int fd = ::openat(parent.native(), name.c_str(), FolderFlags | O_NOFOLLOW);
    if (fd < 0) {
        result.systemError = errno;
        struct stat info;
        if ((errno == ELOOP || errno == ENOTDIR) &&
            ::fstatat(parent.native(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
            result.changed = S_ISLNK(info.st_mode);
            result.notAFolder = !S_ISLNK(info.st_mode) && !S_ISDIR(info.st_mode);
        }
        return result;
    }
    result.folder = FolderHandle(fd, parent.path() + name + '/');
    return result;
}

bool ListFolder(const FolderHandle& folder, std::vector<FolderEntry>& entries, int& systemError) {
    // A copy of the descriptor, as closing the listing closes it. Not a new open of ".": that
    // needs search permission, and a folder that may only be read is still listed.
    const int fd = ::fcntl(folder.native(), F_DUPFD_CLOEXEC, 0);
    DIR* listing = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!listing) {
        systemError = errno;
        if (fd >= 0) ::close(fd);
        return false;
    }
    ::rewinddir(listing);
    for (;;) {
        errno = 0;
        const dirent* item = ::readdir(listing);
        if (!item) break;
        const NativeString name = item->d_name;
        if (name == "." || name == "..") continue;
        FolderEntry entry;
        entry.name = name;
        struct stat info;
        if (::fstatat(folder.native(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            entry.kind = FolderEntry::Kind::Unreadable;
            entry.systemError = errno;
        } else if (S_ISREG(info.st_mode)) {
            entry.kind = FolderEntry::Kind::File;
            entry.identity = IdentityOf(info);
        } else if (S_ISDIR(info.st_mode)) {
            entry.kind = FolderEntry::Kind::Folder;
            entry.identity = IdentityOf(info);
        } else if (S_ISLNK(info.st_mode)) {
            ResolveLink(folder, entry);
        }
        entries.push_back(std::move(entry));
    }
    const int readError = errno;
    ::closedir(listing);
    if (readError != 0) {
        systemError = readError;
        return false;
    }
    return true;
}

NativeString RealFolderPath(const FolderHandle& folder) {
    return RealPathOf(folder.native(), folder.path().empty() ? "." : folder.path());
}

WriteResult WriteNewOutput(const FolderHandle& folder, const NativeString& name,
                           const OutputContent& content,
                           const std::optional<FileIdentity>& inputIdentity) {
    // What holds the name is looked at only when the new file cannot take it: a fresh tree
    // of outputs costs no look-up per file.
    const auto replaceable = [&](mode_t& mode, WriteResult& result) {
        struct stat existing;
        if (::fstatat(folder.native(), name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT) return true;  // gone meanwhile: the name is free again
            result.systemError = errno;
            return false;
        }
        if (!S_ISREG(existing.st_mode)) {
            result.notReplaced = true;
            return false;
        }
        if (inputIdentity && posix::IdentityOf(existing) == *inputIdentity) {
            result.isInput = true;
            return false;
        }
        // The permission bits of the file replaced, never its set-id bits.
        mode = existing.st_mode & 0777;
        return true;
    };
    return posix::PlaceNewFile(folder.native(), name, content, posix::NewFileMode(), false,
                               replaceable);
}

}  // namespace brevikon
