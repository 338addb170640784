#pragma once
// What each platform's provider supplies to Sha256; the splitting into pieces and the
// hexadecimal form are shared.
#include <cstdint>

#include "fixity/sha256.h"

namespace brevikon::sha256_engine {

constexpr std::size_t DigestSize = 32;

// A new hash object, or null when the provider refuses.
Sha256::Engine* Start();
// Hashes size bytes (at most Sha256::LargestPiece); false when the provider refuses.
bool Feed(Sha256::Engine& engine, const unsigned char* data, std::uint32_t size);
// Writes the digest; false when the provider refuses.
bool Digest(Sha256::Engine& engine, unsigned char (&digest)[DigestSize]);

}  // namespace brevikon::sha256_engine
