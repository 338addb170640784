// The manifest's digests: the provider on bytes in memory, and a whole file read in blocks
// (from the page cache, so the read costs only its copies).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "fixity/file_hash.h"
#include "fixity/sha256.h"

namespace brevikon::bench {
namespace {

void BM_Sha256InMemory(benchmark::State& state) {
    const std::string bytes(static_cast<std::size_t>(state.range(0)), 'x');
    for (auto _ : state)
        benchmark::DoNotOptimize(Sha256Hex(bytes));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Sha256InMemory)->Arg(64)->Arg(64 << 10)->Arg(16 << 20);

void BM_HashFile(benchmark::State& state) {
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() /
        ("brevikon-bench-" + std::to_string(std::random_device{}()) + ".bin");
    std::ofstream(file, std::ios::binary)
        << std::string(static_cast<std::size_t>(state.range(0)), 'x');
    for (auto _ : state) {
        const FileHash hash = HashFile(file.native(), ProcessHeap());
        if (!hash.ok()) state.SkipWithError("the file was not hashed");
        benchmark::DoNotOptimize(hash.sha256);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    std::filesystem::remove(file);
}
BENCHMARK(BM_HashFile)->Arg(4 << 10)->Arg(64 << 20)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brevikon::bench
