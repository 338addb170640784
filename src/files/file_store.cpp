#include "files/file_store.h"

namespace brevikon {

namespace {

class SystemFileStore final : public FileStore {
  public:
    ReadResult Read(const NativeString& path, std::int64_t maxLength, Heap& heap, HeapBlock& image,
                    const ExpectedFile* expected) override {
        return ReadWholeFile(path, maxLength, heap, image, expected);
    }
    WriteResult Write(const NativeString& path, const OutputContent& content) override {
        return WriteFileReplacing(path, content);
    }
    bool SameFile(const NativeString& first, const NativeString& second) override {
        return IsSameFile(first, second);
    }
};

}  // namespace

FileStore& SystemFiles() {
    static SystemFileStore files;
    return files;
}

}  // namespace brevikon
