#pragma once
// The whole-file read and the replacing write of a path the user named, as both programs make
// them: one interface, so that tests can put faults in their way, and one system
// implementation over ReadWholeFile and WriteFileReplacing.
#include <cstdint>
#include <string_view>

#include "base/heap.h"
#include "files/file_access.h"

namespace brevikon {

class FileStore {
  public:
    virtual ~FileStore() = default;
    // As ReadWholeFile.
    virtual ReadResult Read(const NativeString& path, std::int64_t maxLength, Heap& heap,
                            HeapBlock& image, const ExpectedFile* expected = nullptr) = 0;
    // As WriteFileReplacing.
    virtual WriteResult Write(const NativeString& path, const OutputContent& content) = 0;
    // As IsSameFile.
    virtual bool SameFile(const NativeString& first, const NativeString& second) = 0;
};

// The file system itself. Stateless, so one shared instance is enough.
FileStore& SystemFiles();

}  // namespace brevikon
