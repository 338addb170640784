#pragma once
// SHA-256 from the system's own crypto (libcrypto on Linux, CNG on Windows), never one of our
// own making: a fixity record is only worth what its digest is.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace brevikon {

// One digest, fed in pieces of any size; the total may exceed 4 GiB.
//
// Any failure of the system's provider (it cannot be loaded, a step refuses) spends the
// object: later pieces are ignored and Finish returns an empty string, so a digest is never
// made of part of the input.
class Sha256 {
  public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Update(const void* data, std::size_t size);
    void Update(std::string_view bytes) { Update(bytes.data(), bytes.size()); }

    // The digest as 64 lower-case hexadecimal digits; empty when the provider failed. Spends
    // the object: a second Finish returns an empty string too.
    std::string Finish();

    // True until the provider has failed or Finish was called.
    bool usable() const { return engine_ != nullptr; }

    // The most bytes handed to the provider at once: the Windows provider counts in 32 bits.
    static constexpr std::size_t LargestPiece = std::size_t{1} << 30;

    // The system's hash object, one per platform.
    struct Engine;
    struct EngineEnd {
        void operator()(Engine* engine) const;
    };

  private:
    std::unique_ptr<Engine, EngineEnd> engine_;
};

// The digest of bytes in one go; empty when the provider failed.
std::string Sha256Hex(std::string_view bytes);

}  // namespace brevikon
