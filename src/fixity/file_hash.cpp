#include "fixity/file_hash.h"

#include "fixity/sha256.h"

namespace brevikon {

FileHash HashFile(const NativeString& path, Heap& heap, const ExpectedFile* expected) {
    FileHash result;
    HeapBlock block;
    if (!block.Allocate(heap, HashBlockSize)) {
        result.read.status = ReadStatus::OutOfMemory;
        return result;
    }
    Sha256 hash;
    result.read = ReadFileInBlocks(
        path, {block.data(), block.size()},
        [&](const unsigned char* bytes, std::size_t size) { hash.Update(bytes, size); }, expected);
    if (result.read.status != ReadStatus::Ok) return result;
    result.sha256 = hash.Finish();
    result.hashFailed = result.sha256.empty();
    return result;
}

}  // namespace brevikon
