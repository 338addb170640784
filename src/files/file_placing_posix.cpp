#include "files/file_placing_posix.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "files/write_content.h"

namespace brevikon::posix {

namespace {

// The temporary names that exist right now. A signal handler can only reach what is
// reachable without a lock, hence this one fixed table at namespace scope. A worker claims a
// slot, writes the name, marks it Creating, and only then (unless an interrupt has begun)
// creates the file and marks it Live. The handler first stops all further claims, then waits
// for every Creating slot of another thread to settle and removes what exists.
constexpr int TemporarySlotCount = 512;  // more than workers may run at once
constexpr std::size_t TemporaryNameSize = 64;

constexpr int SlotFree = 0;
constexpr int SlotFilling = 1;   // the name is being written; no file yet
constexpr int SlotCreating = 2;  // the file may be being created
constexpr int SlotLive = 3;      // the file exists under the name

struct TemporarySlot {
    std::atomic<int> state{SlotFree};
    std::atomic<long> thread{0};
    int folder = -1;
    char name[TemporaryNameSize] = {};
};

TemporarySlot temporarySlots[TemporarySlotCount];
std::atomic<bool> interrupted{false};
// The thread writing a line that must stay whole, or 0. One at a time: the record's lines
// are written under its own lock.
std::atomic<long> wholeWriter{0};

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<long>::is_always_lock_free &&
                  std::atomic<bool>::is_always_lock_free,
              "the signal handler reads these");

long ThisThread() {
    return ::syscall(SYS_gettid);
}

constexpr int NoSlot = -1;       // all taken: the name is removed only by the normal path
constexpr int Interrupted = -2;  // an interrupt is under way: create nothing more

int ClaimTemporary(int folder, const std::string& name) {
    if (name.size() >= TemporaryNameSize) return NoSlot;
    for (int i = 0; i < TemporarySlotCount; ++i) {
        TemporarySlot& slot = temporarySlots[i];
        int expected = SlotFree;
        if (!slot.state.compare_exchange_strong(expected, SlotFilling)) continue;
        slot.folder = folder;
        slot.thread.store(ThisThread());
        std::memcpy(slot.name, name.c_str(), name.size() + 1);
        slot.state.store(SlotCreating);
        if (interrupted.load()) {
            slot.state.store(SlotFree);
            return Interrupted;
        }
        return i;
    }
    return interrupted.load() ? Interrupted : NoSlot;
}

void MarkLive(int slot) {
    if (slot >= 0) temporarySlots[slot].state.store(SlotLive);
}

void ForgetTemporary(int slot) {
    if (slot >= 0) temporarySlots[slot].state.store(SlotFree);
}

// Only async-signal-safe calls: syscall, unlinkat, signal, raise.
void RemoveTemporariesAndRaise(int signalNumber) {
    interrupted.store(true);
    const long self = ThisThread();
    for (TemporarySlot& slot : temporarySlots) {
        int state = slot.state.load();
        // Another thread finishes its create in a moment; this one's own was cut short here.
        while ((state == SlotFilling || state == SlotCreating) && slot.thread.load() != self)
            state = slot.state.load();
        if (state == SlotCreating || state == SlotLive) ::unlinkat(slot.folder, slot.name, 0);
    }
    // Another thread's line goes out whole; the default action would stop its write between
    // two pages.
    for (long writer = wholeWriter.load(); writer != 0 && writer != self;)
        writer = wholeWriter.load();
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);
}

// A temporary name of this process, unique within it.
std::string TemporaryName() {
    static std::atomic<unsigned> counter{0};
    return ".brevikon-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1)) +
           ".tmp";
}

// Tries fresh temporary names until create(name) makes a file under one; a name already
// taken (EEXIST) moves on to the next. Each name is claimed before its file is created, so
// that an interrupt at any moment finds it. False with errno set when none could be made.
template <class Create>
bool CreateUnderTemporaryName(int folder, std::string& temporary, int& slot, Create create) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = TemporaryName();
        slot = ClaimTemporary(folder, temporary);
        if (slot == Interrupted) {
            errno = EINTR;
            return false;
        }
        if (create(temporary)) {
            MarkLive(slot);
            return true;
        }
        const int error = errno;
        ForgetTemporary(slot);
        errno = error;
        if (error != EEXIST) return false;
    }
    return false;
}

// The process umask, read without changing it where the system tells it (umask() itself
// sets a new one, and a worker creating a file at that moment would get the wrong mode).
mode_t ReadUmask() {
    char status[4096];
    ssize_t length = -1;
    if (const int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC); fd >= 0) {
        length = ::read(fd, status, sizeof status - 1);
        ::close(fd);
    }
    if (length > 0) {
        status[length] = '\0';
        if (const char* line = std::strstr(status, "\nUmask:")) {
            return static_cast<mode_t>(std::strtoul(line + 7, nullptr, 8));
        }
    }
    const mode_t old = ::umask(022);
    ::umask(old);
    return old;
}

// Puts temporary in name's place. Over an existing file Linux swaps the two names and then
// removes the old one: ext4 treats a plain rename over a file as a cue to write the new data
// out at once, which would make every replacing conversion wait for the disk. Renames never
// follow a link at either name, so whatever lies there is replaced as a name.
bool ReplaceName(int folder, const std::string& temporary, const std::string& name, int& error) {
#if defined(__linux__) && defined(RENAME_EXCHANGE)
    if (::renameat2(folder, temporary.c_str(), folder, name.c_str(), RENAME_EXCHANGE) == 0) {
        if (::unlinkat(folder, temporary.c_str(), 0) == 0 || errno != EISDIR) return true;
        // A folder took the name meanwhile: it goes back, and stays as it was.
        ::renameat2(folder, temporary.c_str(), folder, name.c_str(), RENAME_EXCHANGE);
        ::unlinkat(folder, temporary.c_str(), 0);
        error = EISDIR;
        return false;
    }
#endif
    if (::renameat(folder, temporary.c_str(), folder, name.c_str()) == 0) return true;
    error = errno;
    return false;
}

bool SetModeIfMasked(int fd, mode_t mode, int& error) {
    if ((mode & ~ReadUmaskOnce()) == mode) return true;
    if (::fchmod(fd, mode) == 0) return true;
    error = errno;
    return false;
}

// Where the file system lets a file be made without a name, it gets one only when whole:
// no interrupt of any kind, not even SIGKILL, can leave a part of it behind.
enum class Unnamed { Placed, Failed, NotAvailable };

Unnamed PlaceUnnamed(int folder, const std::string& name, const OutputContent& content, mode_t mode,
                     bool nameTaken, const TakenNameCheck& check, WriteResult& result) {
#if defined(__linux__) && defined(O_TMPFILE)
    FileDescriptor file(::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
    if (file.get() < 0) {
        if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) return Unnamed::NotAvailable;
        result.systemError = errno;
        return Unnamed::Failed;
    }
    if (!WriteContent(file.get(), content, result) ||
        !SetModeIfMasked(file.get(), mode, result.systemError)) {
        return Unnamed::Failed;  // closing drops the unnamed file
    }
    char self[32];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", file.get());
    // Linking by descriptor spares the look-up through /proc, but needs a right that most
    // users lack; once refused, it is not asked for again.
    static std::atomic<bool> byDescriptor{true};
    auto link = [&](const std::string& as) {
        if (byDescriptor.load(std::memory_order_relaxed)) {
            if (::linkat(file.get(), "", folder, as.c_str(), AT_EMPTY_PATH) == 0) return true;
            if (errno != ENOENT && errno != EPERM) return false;
            byDescriptor.store(false, std::memory_order_relaxed);
        }
        return ::linkat(AT_FDCWD, self, folder, as.c_str(), AT_SYMLINK_FOLLOW) == 0;
    };
    // No /proc and no right to link by descriptor: the named way still works.
    const auto linkRefused = [] { return errno == ENOENT || errno == EPERM; };
    if (nameTaken || !link(name)) {
        if (!nameTaken && errno != EEXIST) {
            if (linkRefused()) return Unnamed::NotAvailable;
            result.systemError = errno;
            return Unnamed::Failed;
        }
        if (!nameTaken && check) {
            mode_t wanted = mode;
            if (!check(wanted, result)) return Unnamed::Failed;  // closing drops the new file
            if (wanted != mode && ::fchmod(file.get(), wanted) != 0) {
                result.systemError = errno;
                return Unnamed::Failed;
            }
        }
        // Something has the name: the new file gets a temporary one, then swaps with it.
        std::string temporary;
        int slot = NoSlot;
        if (!CreateUnderTemporaryName(folder, temporary, slot, link)) {
            if (linkRefused()) return Unnamed::NotAvailable;
            result.systemError = errno;
            return Unnamed::Failed;
        }
        const bool replaced = ReplaceName(folder, temporary, name, result.systemError);
        if (!replaced) ::unlinkat(folder, temporary.c_str(), 0);
        ForgetTemporary(slot);
        if (!replaced) return Unnamed::Failed;
    }
    if (file.Close() != 0) {
        result.systemError = errno;
        return Unnamed::Failed;
    }
    result.ok = true;
    return Unnamed::Placed;
#else
    (void)folder, (void)name, (void)content, (void)mode, (void)nameTaken, (void)check, (void)result;
    return Unnamed::NotAvailable;
#endif
}

WriteResult PlaceNamed(int folder, const std::string& name, const OutputContent& content,
                       mode_t mode) {
    WriteResult result;
    std::string temporary;
    int slot = NoSlot;
    FileDescriptor file;
    const auto create = [&](const std::string& as) {
        file.Reset(::openat(folder, as.c_str(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        return file.get() >= 0;
    };
    if (!CreateUnderTemporaryName(folder, temporary, slot, create)) {
        result.systemError = errno;
        return result;
    }
    bool ok = WriteContent(file.get(), content, result);
    if (ok && ::fchmod(file.get(), mode) != 0) {
        result.systemError = errno;
        ok = false;
    }
    if (file.Close() != 0 && ok) {
        result.systemError = errno;
        ok = false;
    }
    if (ok) ok = ReplaceName(folder, temporary, name, result.systemError);
    if (!ok) ::unlinkat(folder, temporary.c_str(), 0);
    ForgetTemporary(slot);
    result.ok = ok;
    return result;
}

}  // namespace

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
}

void FileDescriptor::Reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
}

int FileDescriptor::Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
}

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

bool WriteContent(int fd, const OutputContent& content, WriteResult& result) {
    return WriteContentWith(content, result, [fd](std::string_view bytes, int& error) {
        return WriteAll(fd, bytes, error);
    });
}

FileIdentity IdentityOf(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

mode_t ReadUmaskOnce() {
    static const mode_t mask = ReadUmask();
    return mask;
}

mode_t NewFileMode() {
    return static_cast<mode_t>(0666 & ~ReadUmaskOnce());
}

WriteResult PlaceNewFile(int folder, const std::string& name, const OutputContent& content,
                         mode_t mode, bool nameTaken, const TakenNameCheck& check) {
    WriteResult result;
    if (PlaceUnnamed(folder, name, content, mode, nameTaken, check, result) !=
        Unnamed::NotAvailable) {
        return result;
    }
    // A named temporary file is seen before it is whole: the check comes first here.
    if (!nameTaken && check && !check(mode, result)) return result;
    return PlaceNamed(folder, name, content, mode);
}

bool BeginWholeWrite() {
    wholeWriter.store(ThisThread());
    if (!interrupted.load()) return true;
    wholeWriter.store(0);
    return false;
}

void EndWholeWrite() {
    wholeWriter.store(0);
}

}  // namespace brevikon::posix

namespace brevikon {

void PrepareProcessForFiles() {
    // A closed standard descriptor would be given to the next file opened, and messages
    // meant for it would land in a document.
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF) {
            const int opened = ::open("/dev/null", O_RDWR);
            if (opened >= 0 && opened != fd) ::close(opened);
        }
    }
    posix::ReadUmaskOnce();
    // The failing write reports these, and the run goes on with the next file.
    ::signal(SIGPIPE, SIG_IGN);
    ::signal(SIGXFSZ, SIG_IGN);
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction action = {};
        // A signal ignored when the program started (nohup, a background job) stays ignored.
        if (::sigaction(signalNumber, nullptr, &action) == 0 && action.sa_handler == SIG_IGN) {
            continue;
        }
        action = {};
        action.sa_handler = posix::RemoveTemporariesAndRaise;
        sigemptyset(&action.sa_mask);
        ::sigaction(signalNumber, &action, nullptr);
    }
}

}  // namespace brevikon
