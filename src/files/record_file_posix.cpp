#include "files/record_file.h"

#include "files/file_placing_posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace brevikon {

RecordFile::~RecordFile() {
    if (handle_ != None) ::close(handle_);
}

bool RecordFile::Create(const NativeString& path, int& systemError) {
    // O_EXCL: an existing name, a link included, is never opened.
    handle_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    systemError = handle_ == None ? errno : 0;
    return handle_ != None;
}

bool RecordFile::Append(std::string_view bytes, int& systemError) {
    // An interrupt waits for the line; once one has begun, no line is started.
    if (!posix::BeginWholeWrite()) {
        systemError = EINTR;
        return false;
    }
    const bool written = posix::WriteAll(handle_, bytes, systemError);
    posix::EndWholeWrite();
    if (written) systemError = 0;
    return written;
}

std::optional<FileIdentity> RecordFile::identity() const {
    struct stat info {};
    if (handle_ == None || ::fstat(handle_, &info) != 0) return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                        static_cast<std::uint64_t>(info.st_ino)};
}

}  // namespace brevikon
