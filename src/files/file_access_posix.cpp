#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>

#include "base/text.h"
#include "files/file_access.h"
#include "files/read_steps.h"

namespace brevikon {

namespace {

// Closes the descriptor on every path out of a function.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    // Closes now and reports the close's own failure (a delayed write error shows here).
    int Close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

  private:
    int fd_;
};

bool WriteAll(int fd, std::string_view bytes, int& error) {
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            error = errno;
            return false;
        }
        if (written == 0) {
            error = ENOSPC;
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

// Puts the finished temporary file in the target's place in one step. Over an existing file
// Linux swaps the two names and then removes the old one: ext4 treats a plain rename over a
// file as a cue to write the new data out at once, which would make every replacing
// conversion wait for the disk. Either way the target name always names a whole file.
bool ReplaceWith(const std::string& temporary, const std::string& target, bool targetExists) {
#if defined(__linux__) && defined(RENAME_EXCHANGE)
    if (targetExists &&
        ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0) {
        ::unlink(temporary.c_str());  // now the old file
        return true;
    }
#else
    (void)targetExists;
#endif
    return ::rename(temporary.c_str(), target.c_str()) == 0;
}

mode_t NewFileMode() {
    // Read the process umask once; umask() itself is the only way to ask for it.
    static const mode_t mask = [] {
        const mode_t old = ::umask(022);
        ::umask(old);
        return old;
    }();
    return static_cast<mode_t>(0666 & ~mask);
}

}  // namespace

PathKind QueryPathKind(const NativeString& path) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) return PathKind::Missing;
    if (S_ISREG(info.st_mode)) return PathKind::RegularFile;
    if (S_ISDIR(info.st_mode)) return PathKind::Directory;
    return PathKind::Other;
}

ReadResult ReadWholeFile(const NativeString& path, std::int64_t maxLength, Heap& heap) {
    ReadResult result;
    // O_NONBLOCK: opening a pipe with no writer must not hang; regular files ignore it.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        result.systemError = errno;
        if (errno == ENOENT || errno == ENOTDIR) {
            result.status = ReadStatus::Missing;
        } else if (errno == EISDIR) {
            result.status = ReadStatus::Directory;
        } else {
            result.status = ReadStatus::OpenFailed;
        }
        return result;
    }
    struct stat info;
    if (::fstat(fd.get(), &info) != 0) {
        result.systemError = errno;
        result.status = ReadStatus::OpenFailed;
        return result;
    }
    if (S_ISDIR(info.st_mode)) {
        result.status = ReadStatus::Directory;
        return result;
    }
    if (!S_ISREG(info.st_mode)) {
        result.status = ReadStatus::NotRegular;
        return result;
    }
    if (!read_steps::AcceptLength(result, static_cast<std::int64_t>(info.st_size), maxLength,
                                  heap)) {
        return result;
    }
    read_steps::FillImage(result, [&](unsigned char* into, std::int64_t count) -> std::int64_t {
        for (;;) {
            const ssize_t got = ::read(fd.get(), into, static_cast<std::size_t>(count));
            if (got >= 0) return got;
            if (errno != EINTR) {
                result.systemError = errno;
                return -1;
            }
        }
    });
    return result;
}

WriteResult WriteFileReplacing(const NativeString& path, std::string_view bytes) {
    WriteResult result;
    struct stat existing;
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        result.systemError = EISDIR;
        return result;
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        // A device or a pipe: nothing to replace. O_NONBLOCK keeps a pipe without reader
        // from hanging the run; it fails with ENXIO instead.
        FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        if (fd.get() < 0) {
            result.systemError = errno;
            return result;
        }
        const int flags = ::fcntl(fd.get(), F_GETFL);
        if (flags >= 0) ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
        if (!WriteAll(fd.get(), bytes, result.systemError)) return result;
        if (fd.Close() != 0) {
            result.systemError = errno;
            return result;
        }
        result.ok = true;
        return result;
    }

    // A short temporary name in the target's folder: the final rename then stays on one
    // filesystem, and a target whose name is as long as names may be still gets one.
    static std::atomic<unsigned> counter{0};
    const std::string folder = path.substr(0, path.find_last_of('/') + 1);
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = folder + ".brevikon-" + std::to_string(::getpid()) + "-" +
                    std::to_string(counter.fetch_add(1)) + ".tmp";
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        result.systemError = errno;
        return result;
    }
    FileDescriptor file(fd);
    const mode_t mode = exists ? (existing.st_mode & 07777) : NewFileMode();
    bool ok = WriteAll(file.get(), bytes, result.systemError);
    if (ok && ::fchmod(file.get(), mode) != 0) {
        result.systemError = errno;
        ok = false;
    }
    if (file.Close() != 0 && ok) {
        result.systemError = errno;
        ok = false;
    }
    if (ok && !ReplaceWith(temporary, path, exists)) {
        result.systemError = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        return result;
    }
    result.ok = true;
    return result;
}

bool IsSameFile(const NativeString& first, const NativeString& second) {
    struct stat a;
    struct stat b;
    if (::stat(first.c_str(), &a) != 0 || ::stat(second.c_str(), &b) != 0) return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
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
