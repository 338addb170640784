#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "base/text.h"
#include "files/file_access.h"
#include "files/file_placing_posix.h"
#include "files/read_steps.h"

namespace brevikon {

using posix::FileDescriptor;
using posix::IdentityOf;

namespace {

// Writes to the device or pipe that path names. False when what opened is a regular file or
// a folder after all (the path changed since it was looked at): those are replaced instead.
bool WriteToDevice(const NativeString& path, const OutputContent& content, WriteResult& result) {
    // O_NONBLOCK keeps a pipe without reader from hanging the run: it fails with ENXIO.
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        result.systemError = errno;
        return true;
    }
    struct stat opened;
    if (::fstat(fd.get(), &opened) != 0) {
        result.systemError = errno;
        return true;
    }
    if (S_ISREG(opened.st_mode) || S_ISDIR(opened.st_mode)) return false;
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags >= 0) ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
    if (!posix::WriteContent(fd.get(), content, result)) return true;
    if (fd.Close() != 0) {
        result.systemError = errno;
        return true;
    }
    result.ok = true;
    return true;
}

// Opens path for a read and decides on what was opened: true with fd holding a regular file
// and result its identity, time and length; otherwise result.status says why not.
bool OpenRegularFile(const NativeString& path, const ExpectedFile* expected, FileDescriptor& fd,
                     ReadResult& result) {
    // O_NONBLOCK: opening a pipe with no writer must not hang; regular files ignore it.
    int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    if (expected && !expected->throughLink) flags |= O_NOFOLLOW;
    fd.Reset(::open(path.c_str(), flags));
    if (fd.get() < 0) {
        result.systemError = errno;
        if (errno == ENOENT || errno == ENOTDIR) {
            result.status = ReadStatus::Missing;
        } else if (errno == EISDIR) {
            result.status = ReadStatus::Directory;
        } else if (errno == ELOOP && expected) {
            result.status = ReadStatus::Changed;  // a link now stands where a file was
        } else {
            result.status = ReadStatus::OpenFailed;
        }
        return false;
    }
    struct stat info;
    if (::fstat(fd.get(), &info) != 0) {
        result.systemError = errno;
        result.status = ReadStatus::OpenFailed;
        return false;
    }
    result.identity = IdentityOf(info);
    result.modified = {static_cast<std::int64_t>(info.st_mtim.tv_sec),
                       static_cast<std::int32_t>(info.st_mtim.tv_nsec)};
    if (expected && !(result.identity == expected->identity)) {
        result.status = ReadStatus::Changed;
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        result.status = ReadStatus::Directory;
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        result.status = ReadStatus::NotRegular;
        return false;
    }
    result.length = static_cast<std::int64_t>(info.st_size);
    return true;
}

// One read of up to count bytes, as read_steps wants it: the bytes read, 0 at the end, or -1
// with result.systemError set.
std::int64_t ReadSome(int fd, unsigned char* into, std::int64_t count, ReadResult& result) {
    for (;;) {
        const ssize_t got = ::read(fd, into, static_cast<std::size_t>(count));
        if (got >= 0) return got;
        if (errno != EINTR) {
            result.systemError = errno;
            return -1;
        }
    }
}

// One read at offset, as FillImageInTwoParts wants it.
std::int64_t ReadSomeAt(int fd, unsigned char* into, std::int64_t offset, std::int64_t count,
                        int& error) {
    for (;;) {
        const ssize_t got = ::pread(fd, into, static_cast<std::size_t>(count), offset);
        if (got >= 0) return got;
        if (errno != EINTR) {
            error = errno;
            return -1;
        }
    }
}

}  // namespace

PathKind QueryPathKind(const NativeString& path) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) return PathKind::Missing;
    if (S_ISREG(info.st_mode)) return PathKind::RegularFile;
    if (S_ISDIR(info.st_mode)) return PathKind::Directory;
    return PathKind::Other;
}

std::optional<FileIdentity> IdentifyFile(const NativeString& path) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return IdentityOf(info);
}

ReadResult ReadWholeFile(const NativeString& path, std::int64_t maxLength, Heap& heap,
                         HeapBlock& image, const ExpectedFile* expected) {
    ReadResult result;
    FileDescriptor fd;
    if (!OpenRegularFile(path, expected, fd, result)) return result;
    if (!read_steps::AcceptLength(result, image, result.length, maxLength, heap)) return result;
    if (result.length >= read_steps::TwoPartReadFrom) {
        read_steps::FillImageInTwoParts(
            result, image,
            [&fd](unsigned char* into, std::int64_t offset, std::int64_t count, int& error) {
                return ReadSomeAt(fd.get(), into, offset, count, error);
            });
        return result;
    }
    read_steps::FillImage(result, image, [&](unsigned char* into, std::int64_t count) {
        return ReadSome(fd.get(), into, count, result);
    });
    return result;
}

ReadResult ReadFileInBlocks(const NativeString& path, std::span<unsigned char> buffer,
                            const std::function<void(const unsigned char*, std::size_t)>& take,
                            const ExpectedFile* expected) {
    ReadResult result;
    FileDescriptor fd;
    if (!OpenRegularFile(path, expected, fd, result)) return result;
    read_steps::FeedBlocks(
        result, buffer,
        [&](unsigned char* into, std::int64_t count) {
            return ReadSome(fd.get(), into, count, result);
        },
        take);
    return result;
}

WriteResult WriteFileReplacing(const NativeString& path, const OutputContent& content) {
    WriteResult result;
    struct stat named;
    if (::stat(path.c_str(), &named) == 0) {
        if (S_ISDIR(named.st_mode)) {
            result.systemError = EISDIR;
            return result;
        }
        if (!S_ISREG(named.st_mode) && WriteToDevice(path, content, result)) return result;
    }
    const std::size_t slash = path.find_last_of('/');
    const NativeString folderPath = slash == NativeString::npos ? "" : path.substr(0, slash + 1);
    const NativeString name = slash == NativeString::npos ? path : path.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") {
        result.systemError = EISDIR;
        return result;
    }
    const FolderResult folder = OpenFolder(folderPath);
    if (!folder.folder.open()) {
        result.systemError = folder.systemError;
        return result;
    }
    // The mode of the file replaced, never of a link's target, and never its set-id bits.
    mode_t mode = posix::NewFileMode();
    struct stat existing;
    const bool taken =
        ::fstatat(folder.folder.native(), name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
    if (taken && S_ISDIR(existing.st_mode)) {
        result.systemError = EISDIR;
        return result;
    }
    if (taken && S_ISREG(existing.st_mode)) mode = existing.st_mode & 0777;
    return posix::PlaceNewFile(folder.folder.native(), name, content, mode, taken);
}

bool IsSameFile(const NativeString& first, const NativeString& second) {
    const auto a = IdentifyFile(first);
    const auto b = IdentifyFile(second);
    return a && b && *a == *b;
}

std::u16string SystemErrorText(int systemError) {
    switch (systemError) {
        case EACCES:
        case EPERM:
            return u"Zugriff verweigert";
        case ENOSPC:
        case EDQUOT:
            return u"Kein Platz mehr auf dem Datentraeger";
        case EROFS:
            return u"Schreibgeschuetztes Dateisystem";
        case ENOENT:
        case ENOTDIR:
            return u"Ordner oder Datei nicht gefunden";
        case EISDIR:
            return u"Das ist ein Ordner";
        case EIO:
            return u"Ein-/Ausgabefehler";
        case ENXIO:
            return u"Kein Leser am anderen Ende";
        case ENAMETOOLONG:
            return u"Name zu lang";
        case ELOOP:
            return u"Verknuepfung im Kreis";
        case EFBIG:
            return u"Datei zu gross";
        case EMFILE:
        case ENFILE:
            return u"Zu viele offene Dateien";
        case EPIPE:
            return u"Der Leser am anderen Ende ist fort";
        case ENOMEM:
            return u"Zu wenig Speicher";
        case EBUSY:
        case ETXTBSY:
            return u"Die Datei ist in Gebrauch";
        default:
            return u"Systemfehler " + DecimalText(systemError);
    }
}

std::u16string NativeToUtf16(const NativeString& text) {
    return Utf8ToUtf16(text);
}
NativeString Utf16ToNative(std::u16string_view text) {
    return Utf16ToUtf8(text);
}

}  // namespace brevikon
