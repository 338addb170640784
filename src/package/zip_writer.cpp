#include "package/zip_writer.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <new>

namespace brevikon {

namespace {

// 1980-01-01 00:00:00, the earliest time a zip entry can carry: the same on every run.
constexpr std::uint16_t FixedDosTime = 0;
constexpr std::uint16_t FixedDosDate = (0 << 9) | (1 << 5) | 1;
constexpr std::uint16_t VersionNeeded = 20;  // deflate
constexpr std::uint16_t MethodStored = 0;
constexpr std::uint16_t MethodDeflated = 8;
constexpr std::uint16_t NamesInUtf8 = 1 << 11;
constexpr std::uint32_t LocalHeaderSignature = 0x04034b50;
constexpr std::uint32_t CentralHeaderSignature = 0x02014b50;
constexpr std::uint32_t EndOfCentralSignature = 0x06054b50;
// Gathered pieces are deflated in steps of this size: few calls, little held.
constexpr std::size_t DeflateStep = 64 * 1024;
// A fast level: these packages are mostly repeated markup, which even level 1 shrinks well.
constexpr int CompressionLevel = 1;

void Put16(std::string& out, std::uint32_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

}  // namespace

std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc) {
    while (!bytes.empty()) {
        const auto step = static_cast<uInt>(
            std::min<std::size_t>(bytes.size(), std::numeric_limits<uInt>::max()));
        crc = static_cast<std::uint32_t>(
            crc32(crc, reinterpret_cast<const Bytef*>(bytes.data()), step));
        bytes.remove_prefix(step);
    }
    return crc;
}

struct DeflatedEntry::Stream {
    z_stream z{};
    bool open = false;
};

DeflatedEntry::DeflatedEntry() : stream_(new Stream) {
    // Raw deflate: the zip entry has its own header and checksum.
    stream_->open = deflateInit2(&stream_->z, CompressionLevel, Z_DEFLATED, -MAX_WBITS, 8,
                                 Z_DEFAULT_STRATEGY) == Z_OK;
    ok_ = stream_->open;
    staged_.reserve(DeflateStep);
}

DeflatedEntry::~DeflatedEntry() {
    if (stream_->open) deflateEnd(&stream_->z);
    delete stream_;
}

bool DeflatedEntry::Append(std::string_view bytes) {
    if (!ok_) return false;
    if (staged_.size() + bytes.size() < DeflateStep) {
        staged_.append(bytes);
        return true;
    }
    if (!staged_.empty()) {
        if (!Deflate(staged_, false)) return false;
        staged_.clear();
    }
    return bytes.size() < DeflateStep ? (staged_.append(bytes), true) : Deflate(bytes, false);
}

bool DeflatedEntry::Deflate(std::string_view bytes, bool finish) {
    crc_ = Crc32(bytes, crc_);
    size_ += bytes.size();
    z_stream& z = stream_->z;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    z.avail_in = static_cast<uInt>(bytes.size());
    try {
        for (;;) {
            const std::size_t used = compressed_.size();
            const std::size_t room = deflateBound(&z, z.avail_in) + 64;
            compressed_.resize(used + room);
            z.next_out = reinterpret_cast<Bytef*>(compressed_.data() + used);
            z.avail_out = static_cast<uInt>(room);
            const int result = deflate(&z, finish ? Z_FINISH : Z_NO_FLUSH);
            compressed_.resize(used + room - z.avail_out);
            if (result == Z_STREAM_END) return true;
            if (result != Z_OK && result != Z_BUF_ERROR) return ok_ = false;
            if (!finish && z.avail_in == 0) return true;
        }
    } catch (const std::bad_alloc&) {
        return ok_ = false;
    }
}

void ZipWriter::AddStored(std::string_view name, std::string_view bytes) {
    entries_.push_back({std::string(name), std::string(bytes), Crc32(bytes), bytes.size(), false});
}

bool ZipWriter::AddDeflated(std::string_view name, std::string_view bytes) {
    DeflatedEntry entry;
    return entry.Append(bytes) && AddDeflated(name, entry);
}

bool ZipWriter::AddDeflated(std::string_view name, DeflatedEntry& entry) {
    if (!entry.ok_ || !entry.Deflate(entry.staged_, true)) return false;
    entries_.push_back(
        {std::string(name), std::move(entry.compressed_), entry.crc_, entry.size_, true});
    return true;
}

bool ZipWriter::Finish(std::string& out) const {
    constexpr std::uint64_t Limit = std::numeric_limits<std::uint32_t>::max();
    out.clear();
    std::string central;
    for (const Entry& entry : entries_) {
        if (entry.size >= Limit || entry.data.size() >= Limit || out.size() >= Limit) {
            return false;
        }
        const auto offset = static_cast<std::uint32_t>(out.size());
        const std::uint16_t method = entry.deflated ? MethodDeflated : MethodStored;
        Put32(out, LocalHeaderSignature);
        Put16(out, VersionNeeded);
        Put16(out, NamesInUtf8);
        Put16(out, method);
        Put16(out, FixedDosTime);
        Put16(out, FixedDosDate);
        Put32(out, entry.crc);
        Put32(out, static_cast<std::uint32_t>(entry.data.size()));
        Put32(out, static_cast<std::uint32_t>(entry.size));
        Put16(out, static_cast<std::uint32_t>(entry.name.size()));
        Put16(out, 0);  // no extra field: the ODF mimetype must start at byte 38
        out += entry.name;
        out += entry.data;

        Put32(central, CentralHeaderSignature);
        Put16(central, VersionNeeded);  // made by: MS-DOS attributes
        Put16(central, VersionNeeded);
        Put16(central, NamesInUtf8);
        Put16(central, method);
        Put16(central, FixedDosTime);
        Put16(central, FixedDosDate);
        Put32(central, entry.crc);
        Put32(central, static_cast<std::uint32_t>(entry.data.size()));
        Put32(central, static_cast<std::uint32_t>(entry.size));
        Put16(central, static_cast<std::uint32_t>(entry.name.size()));
        Put16(central, 0);  // extra field
        Put16(central, 0);  // comment
        Put16(central, 0);  // disk
        Put16(central, 0);  // internal attributes
        Put32(central, 0);  // external attributes
        Put32(central, offset);
        central += entry.name;
    }
    if (out.size() + central.size() >= Limit || entries_.size() >= 0xFFFF) return false;
    const auto centralOffset = static_cast<std::uint32_t>(out.size());
    out += central;
    Put32(out, EndOfCentralSignature);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<std::uint32_t>(entries_.size()));
    Put16(out, static_cast<std::uint32_t>(entries_.size()));
    Put32(out, static_cast<std::uint32_t>(central.size()));
    Put32(out, centralOffset);
    Put16(out, 0);  // comment
    return true;
}

}  // namespace brevikon
