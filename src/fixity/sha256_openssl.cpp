// The provider on Linux: libcrypto's EVP interface, which picks the processor's SHA
// instructions where there are any.
#include <openssl/evp.h>

#include "fixity/sha256_engine.h"

namespace brevikon {

struct Sha256::Engine {
    EVP_MD_CTX* context = nullptr;
};

void Sha256::EngineEnd::operator()(Engine* engine) const {
    EVP_MD_CTX_free(engine->context);
    delete engine;
}

namespace sha256_engine {

Sha256::Engine* Start() {
    // Fetched once: looking the algorithm up for every digest cost a tenth of hashing a small
    // file. Never freed, as the process's other static state.
    static EVP_MD* const algorithm = EVP_MD_fetch(nullptr, "SHA256", nullptr);
    if (algorithm == nullptr) return nullptr;
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    if (context == nullptr) return nullptr;
    if (EVP_DigestInit_ex(context, algorithm, nullptr) != 1) {
        EVP_MD_CTX_free(context);
        return nullptr;
    }
    return new Sha256::Engine{context};
}

bool Feed(Sha256::Engine& engine, const unsigned char* data, std::uint32_t size) {
    return EVP_DigestUpdate(engine.context, data, size) == 1;
}

bool Digest(Sha256::Engine& engine, unsigned char (&digest)[DigestSize]) {
    unsigned int length = 0;
    return EVP_DigestFinal_ex(engine.context, digest, &length) == 1 && length == DigestSize;
}

}  // namespace sha256_engine
}  // namespace brevikon
