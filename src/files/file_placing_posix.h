#pragma once
// Putting a finished file under its name inside a folder held open, on POSIX systems. Shared
// by the writes to a named path and to a default output name.
#include <sys/stat.h>
#include <sys/types.h>

#include <functional>
#include <string>
#include <string_view>

#include "files/file_access.h"

namespace brevikon::posix {

// Closes the descriptor on every path out of a function.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor();
    int get() const { return fd_; }
    void Reset(int fd);
    // Closes now and reports the close's own failure (a delayed write error shows here).
    int Close();

  private:
    int fd_;
};

// Writes every byte, going on after interrupted or partial writes; false with error set.
bool WriteAll(int fd, std::string_view bytes, int& error);

// Writes content into fd as it is produced; false with result.systemError for a failed
// write, or with result.incomplete when the content could not be made whole.
bool WriteContent(int fd, const OutputContent& content, WriteResult& result);

FileIdentity IdentityOf(const struct stat& info);

// The process umask, read once; every later call gives the same value.
mode_t ReadUmaskOnce();

// The mode of a new file: what the umask lets through of 0666.
mode_t NewFileMode();

// Writes bytes as a new regular file and gives it name inside folder only once it is whole:
// on Linux an unnamed file linked in at the end, elsewhere (or where the file system refuses
// that) a temporary name that an interrupt removes. When something is there already it is
// replaced as a name, never written through; a folder there is left alone (EISDIR). mode is
// set exactly, whatever the umask. nameTaken: something was seen under the name, so the new
// file goes straight to a temporary name. Otherwise, when the name turns out to be taken, check
// (if given) decides: false refuses (the reason in result, the new file dropped), true replaces,
// with the new file's mode as check left it.
using TakenNameCheck = std::function<bool(mode_t& mode, WriteResult& result)>;
WriteResult PlaceNewFile(int folder, const std::string& name, const OutputContent& content,
                         mode_t mode, bool nameTaken, const TakenNameCheck& check = {});

// Brackets a write that an interrupt must not cut in half (a line of a run's record): the
// signal handler waits for it to end before the signal takes its course. False once an
// interrupt has begun: then nothing is to be written.
bool BeginWholeWrite();
void EndWholeWrite();

}  // namespace brevikon::posix
