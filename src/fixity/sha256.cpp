#include "fixity/sha256.h"

#include <algorithm>

#include "fixity/sha256_engine.h"

namespace brevikon {

Sha256::Sha256() : engine_(sha256_engine::Start()) {}

Sha256::~Sha256() = default;

void Sha256::Update(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (engine_ && size > 0) {
        const std::size_t piece = std::min(size, LargestPiece);
        if (!sha256_engine::Feed(*engine_, bytes, static_cast<std::uint32_t>(piece))) {
            engine_.reset();
        }
        bytes += piece;
        size -= piece;
    }
}

std::string Sha256::Finish() {
    if (!engine_) return {};
    unsigned char digest[sha256_engine::DigestSize];
    const bool ok = sha256_engine::Digest(*engine_, digest);
    engine_.reset();
    if (!ok) return {};
    static constexpr char Digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(2 * sizeof digest);
    for (const unsigned char byte : digest) {
        hex += Digits[byte >> 4];
        hex += Digits[byte & 0xF];
    }
    return hex;
}

std::string Sha256Hex(std::string_view bytes) {
    Sha256 hash;
    hash.Update(bytes);
    return hash.Finish();
}

}  // namespace brevikon
