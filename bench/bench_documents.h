#pragma once
// The generated documents every micro-benchmark runs on: one of each kind, built once.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "tools/sample_documents.h"

namespace brevikon::bench {

constexpr std::int64_t BenchDocumentSize = 4 * 1024 * 1024;

inline const GeneratedDocument& Document(SampleKind kind) {
    static const GeneratedDocument realistic =
        BuildLargeDocument(SampleKind::Realistic, BenchDocumentSize);
    static const GeneratedDocument attributes =
        BuildLargeDocument(SampleKind::Attributes, BenchDocumentSize);
    static const GeneratedDocument plain = BuildLargeDocument(SampleKind::Plain, BenchDocumentSize);
    switch (kind) {
        case SampleKind::Attributes:
            return attributes;
        case SampleKind::Plain:
            return plain;
        case SampleKind::Realistic:
        default:
            return realistic;
    }
}

// Benchmark argument 0 picks the kind; its name goes into the label.
inline SampleKind KindOf(const benchmark::State& state) {
    return static_cast<SampleKind>(state.range(0));
}

inline const char* KindName(SampleKind kind) {
    switch (kind) {
        case SampleKind::Attributes:
            return "attributes";
        case SampleKind::Plain:
            return "plain";
        case SampleKind::Realistic:
        default:
            return "realistic";
    }
}

#define BREVIKON_FOR_EVERY_KIND(bench)                              \
    BENCHMARK(bench)                                                \
        ->Arg(static_cast<int>(::brevikon::SampleKind::Realistic))  \
        ->Arg(static_cast<int>(::brevikon::SampleKind::Attributes)) \
        ->Arg(static_cast<int>(::brevikon::SampleKind::Plain))      \
        ->Unit(benchmark::kMillisecond)

}  // namespace brevikon::bench
