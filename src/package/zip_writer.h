#pragma once
// A zip container made in memory, as office packages (ODT, DOCX) need it: entries in the
// order they are added, each stored or deflated, every time stamp fixed, so the same entries
// always give the same bytes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brevikon {

// Deflates what it is given as it comes, so a large entry is never held uncompressed. Made
// by ZipWriter::BeginDeflated; the entry is complete after ZipWriter::EndDeflated.
class DeflatedEntry {
  public:
    DeflatedEntry();
    ~DeflatedEntry();
    DeflatedEntry(const DeflatedEntry&) = delete;
    DeflatedEntry& operator=(const DeflatedEntry&) = delete;

    // False once memory ran out; later pieces are then ignored.
    bool Append(std::string_view bytes);
    bool ok() const { return ok_; }

  private:
    friend class ZipWriter;
    bool Deflate(std::string_view bytes, bool finish);

    struct Stream;
    Stream* stream_;
    std::string staged_;  // small pieces gathered before they are deflated
    std::string compressed_;
    std::uint32_t crc_ = 0;
    std::uint64_t size_ = 0;
    bool ok_ = true;
};

class ZipWriter {
  public:
    // An entry kept as it is (the mimetype of an ODF package must be).
    void AddStored(std::string_view name, std::string_view bytes);
    bool AddDeflated(std::string_view name, std::string_view bytes);
    // Finishes entry and adds it; false when it ran out of memory on the way.
    bool AddDeflated(std::string_view name, DeflatedEntry& entry);

    // The whole container: local entries, central directory and its end record. False when
    // an entry or the container exceeds what a zip without its 64-bit extension holds.
    bool Finish(std::string& out) const;

  private:
    struct Entry {
        std::string name;
        std::string data;  // as stored in the container
        std::uint32_t crc = 0;
        std::uint64_t size = 0;
        bool deflated = false;
    };
    std::vector<Entry> entries_;
};

std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc = 0);

}  // namespace brevikon
