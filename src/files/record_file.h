#pragma once
// A record kept line by line as a run goes: a new file (never one that exists, so an earlier
// record is never lost), each line written in one piece, so that an interrupted run leaves
// only whole lines behind.
#include <optional>
#include <string_view>

#include "files/file_access.h"

namespace brevikon {

class RecordFile {
  public:
    using Native = NativeHandle;
    static constexpr Native None = NoNativeHandle;
    RecordFile() = default;
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;
    ~RecordFile();

    // Creates path as a new regular file; false with the system's error when anything has
    // the name already (a link or a device too) or it cannot be made.
    bool Create(const NativeString& path, int& systemError);
    // Appends the bytes; false with the system's error when not all were written.
    bool Append(std::string_view bytes, int& systemError);
    // Of the created file, for keeping a run's own outputs off it.
    std::optional<FileIdentity> identity() const;
    bool open() const { return handle_ != None; }

  private:
    Native handle_ = None;
};

}  // namespace brevikon
