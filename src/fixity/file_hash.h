#pragma once
// The SHA-256 of a file as it is on disk, read in blocks: for writing a fixity manifest and
// for checking files against one. Opened by the same rules as every read of this program.
#include <cstddef>
#include <string>

#include "base/heap.h"
#include "files/file_access.h"

namespace brevikon {

// The size of each read: large enough that the system calls cost nothing beside the hash.
constexpr std::size_t HashBlockSize = std::size_t{1} << 20;

struct FileHash {
    // As ReadFileInBlocks found it: Ok, or why the file was not read (Missing, Directory,
    // NotRegular, OpenFailed, Changed, ShortRead with systemError when a read failed and
    // without when the file shrank meanwhile, OutOfMemory for the block), its length (any,
    // empty too), identity and modification time.
    ReadResult read;
    // 64 lower-case hexadecimal digits when read is Ok and the provider did not fail.
    std::string sha256;
    // The file was read whole, but the system's SHA-256 failed.
    bool hashFailed = false;

    bool ok() const { return read.status == ReadStatus::Ok && !hashFailed; }
};

// Hashes a regular file of any length. Devices, pipes and folders are refused, never waited
// on; with expected, only that very file is read (as ReadWholeFile). The block comes from heap.
FileHash HashFile(const NativeString& path, Heap& heap, const ExpectedFile* expected = nullptr);

}  // namespace brevikon
