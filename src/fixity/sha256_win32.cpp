// The provider on Windows: CNG (bcrypt.dll), part of every Windows since Vista.
#include <windows.h>
// After windows.h, which it needs.
#include <bcrypt.h>

#include "fixity/sha256_engine.h"

namespace brevikon {

struct Sha256::Engine {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
};

void Sha256::EngineEnd::operator()(Engine* engine) const {
    if (engine->hash) ::BCryptDestroyHash(engine->hash);
    if (engine->algorithm) ::BCryptCloseAlgorithmProvider(engine->algorithm, 0);
    delete engine;
}

namespace sha256_engine {

namespace {

bool Succeeded(NTSTATUS status) {
    return status >= 0;
}

}  // namespace

Sha256::Engine* Start() {
    std::unique_ptr<Sha256::Engine, Sha256::EngineEnd> engine(new Sha256::Engine);
    if (!Succeeded(::BCryptOpenAlgorithmProvider(&engine->algorithm, BCRYPT_SHA256_ALGORITHM,
                                                 nullptr, 0))) {
        engine->algorithm = nullptr;
        return nullptr;
    }
    // No object buffer of our own: since Windows 7 CNG keeps the hash state itself.
    if (!Succeeded(
            ::BCryptCreateHash(engine->algorithm, &engine->hash, nullptr, 0, nullptr, 0, 0))) {
        engine->hash = nullptr;
        return nullptr;
    }
    return engine.release();
}

bool Feed(Sha256::Engine& engine, const unsigned char* data, std::uint32_t size) {
    // The input is only read; the parameter lacks its const.
    return Succeeded(
        ::BCryptHashData(engine.hash, const_cast<PUCHAR>(data), static_cast<ULONG>(size), 0));
}

bool Digest(Sha256::Engine& engine, unsigned char (&digest)[DigestSize]) {
    return Succeeded(::BCryptFinishHash(engine.hash, digest, DigestSize, 0));
}

}  // namespace sha256_engine
}  // namespace brevikon
