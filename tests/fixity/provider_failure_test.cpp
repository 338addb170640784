// Sha256 and HashFile over a stand-in provider, linked in place of the system's: it records
// what it is fed and fails on request. No piece handed over is longer than 32 bits can count,
// and whatever step fails, no digest comes out: never one of part of the input.
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include "cli/converter.h"
#include "fixity/file_hash.h"
#include "fixity/sha256_engine.h"

namespace brevikon {
namespace {

struct Provider {
    bool refuseStart = false, refuseDigest = false;
    std::size_t refuseFeed = 0;  // the feed that fails, counted from 1; 0: none
    std::vector<std::pair<std::uintptr_t, std::uint32_t>> fed = {};
} provider;

}  // namespace

struct Sha256::Engine {};

void Sha256::EngineEnd::operator()(Engine* engine) const {
    delete engine;
}

Sha256::Engine* sha256_engine::Start() {
    return provider.refuseStart ? nullptr : new Sha256::Engine;
}

bool sha256_engine::Feed(Sha256::Engine&, const unsigned char* data, std::uint32_t size) {
    provider.fed.push_back({reinterpret_cast<std::uintptr_t>(data), size});
    return provider.fed.size() != provider.refuseFeed;
}

bool sha256_engine::Digest(Sha256::Engine&, unsigned char (&digest)[sha256_engine::DigestSize]) {
    std::iota(digest, digest + sha256_engine::DigestSize, 0);
    return !provider.refuseDigest;
}

namespace {

const std::string Digest = "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f";

// 4 GiB and 1000 bytes of address space, never touched: pieces of 1 GiB, each where the last
// ended, then the rest.
TEST(StandInProvider, LongInputGoesOverInPiecesThatFit) {
    constexpr std::size_t GiB = std::size_t{1} << 30, Total = 4 * GiB + 1000;
    void* region =
        ::mmap(nullptr, Total, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    ASSERT_NE(region, MAP_FAILED);
    provider = {};
    Sha256 hash;
    hash.Update(region, Total);
    EXPECT_EQ(hash.Finish(), Digest);
    const auto at = reinterpret_cast<std::uintptr_t>(region);
    const decltype(provider.fed) pieces = {
        {at, GiB}, {at + GiB, GiB}, {at + 2 * GiB, GiB}, {at + 3 * GiB, GiB}, {at + 4 * GiB, 1000}};
    EXPECT_EQ(provider.fed, pieces);
    ::munmap(region, Total);
}

// Nothing is fed after a failed piece, so no later one can make a digest of the rest; the
// object is spent; HashFile calls it a failed hash of a file read whole.
TEST(StandInProvider, AnyFailingStepLeavesNoDigest) {
    const struct {
        Provider provider;
        bool digest;
        std::size_t feeds;
    } cases[] = {
        {{}, true, 3},
        {{.refuseStart = true}, false, 0},
        {{.refuseFeed = 1}, false, 1},
        {{.refuseDigest = true}, false, 3},
    };
    for (const auto& c : cases) {
        provider = c.provider;
        Sha256 hash;
        for (const char* piece : {"a", "b", "c"})
            hash.Update(piece);
        EXPECT_EQ(hash.Finish(), c.digest ? Digest : "") << &c - cases;
        EXPECT_FALSE(hash.usable()) << &c - cases;
        EXPECT_EQ(provider.fed.size(), c.feeds) << &c - cases;
        provider = c.provider;
        const FileHash file = HashFile(BREVIKON_SOURCE_DIR "/README.md", ProcessHeap());
        EXPECT_EQ(file.read.status, ReadStatus::Ok);
        EXPECT_EQ(file.hashFailed, !c.digest) << &c - cases;
    }
}

// A manifest never records a file without its checksum: the conversion fails instead.
TEST(StandInProvider, AManifestRunFailsTheFileWhoseChecksumFailed) {
    const std::string folder = ::testing::TempDir() + "brevikon-provider-failure";
    const std::string manifest = folder + "/lauf.jsonl", output = folder + "/BRIEF.rtf";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    provider = {.refuseFeed = 2};  // the input's digest works, the output's fails
    std::FILE* err = std::tmpfile();
    EXPECT_EQ(ConverterMain(
                  {"--manifest", manifest, "-d", folder, BREVIKON_SOURCE_DIR "/samples/BRIEF.TXT"},
                  stdout, err),
              1);
    std::fclose(err);
    std::ifstream lines(manifest);
    std::string record;
    std::getline(lines, record);
    EXPECT_NE(record.find("\"code\":\"checksum_error\""), std::string::npos) << record;
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace brevikon
