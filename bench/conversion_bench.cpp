// Text-start detection, the document conversion in both font modes, and the escaping.
#include <benchmark/benchmark.h>

#include "bench_documents.h"
#include "format/document_format.h"
#include "rtf/convert_document.h"

namespace brevikon::bench {
namespace {

void BM_FindTextStart(benchmark::State& state) {
    const GeneratedDocument& document = Document(KindOf(state));
    const auto length = static_cast<std::int64_t>(document.bytes.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(FindTextStart(document.bytes.data(), length));
    }
    state.SetLabel(KindName(KindOf(state)));
}
BREVIKON_FOR_EVERY_KIND(BM_FindTextStart)->Unit(benchmark::kMicrosecond);

void ConvertBenchmark(benchmark::State& state, FontMode fontMode) {
    const GeneratedDocument& document = Document(KindOf(state));
    const auto length = static_cast<std::int64_t>(document.bytes.size());
    CharTable table{};
    BuildCharTable(table);
    RtfBuffer buffer;
    std::uint8_t attributes = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ConvertDocumentToRtf(
            {document.bytes.data(), length, fontMode, &table, &buffer, &attributes}));
    }
    state.SetBytesProcessed(state.iterations() * length);
    state.counters["rtf_bytes_per_input_byte"] =
        static_cast<double>(buffer.used) / static_cast<double>(length);
    state.SetLabel(KindName(KindOf(state)));
}

void BM_ConvertMonospace(benchmark::State& state) {
    ConvertBenchmark(state, FontMode::Monospace);
}
void BM_ConvertProportional(benchmark::State& state) {
    ConvertBenchmark(state, FontMode::Proportional);
}
BREVIKON_FOR_EVERY_KIND(BM_ConvertMonospace);
BREVIKON_FOR_EVERY_KIND(BM_ConvertProportional);

// The loop alone, as the converter runs it on its pieces: forms built once and a buffer that
// keeps its storage, so neither the growing nor fresh pages are counted.
void BM_ConvertPiece(benchmark::State& state) {
    const GeneratedDocument& document = Document(KindOf(state));
    const auto length = static_cast<std::int64_t>(document.bytes.size());
    CharTable table{};
    BuildCharTable(table);
    const RtfByteForms forms = BuildRtfByteForms(table);
    RtfBuffer buffer;
    std::uint8_t attributes = 0;
    const RtfConversion conversion{
        document.bytes.data(), length, FontMode::Monospace, &table, &buffer, &attributes, &forms};
    const TextPiece piece{FindTextStart(document.bytes.data(), length), length};
    bool ended = false;
    ConvertRtfPiece(conversion, piece, ended);  // grows the buffer once
    for (auto _ : state) {
        benchmark::DoNotOptimize(ConvertRtfPiece(conversion, piece, ended));
    }
    state.SetBytesProcessed(state.iterations() * length);
    state.SetLabel(KindName(KindOf(state)));
}
BREVIKON_FOR_EVERY_KIND(BM_ConvertPiece);

// Every UTF-16 code unit once through the character escaping.
void BM_AppendRtfChar(benchmark::State& state) {
    RtfBuffer buffer;
    for (auto _ : state) {
        ResetRtfBuffer(buffer);
        for (std::int64_t code = 0; code < 65536; ++code)
            AppendRtfChar(buffer, code);
        benchmark::DoNotOptimize(buffer.used);
    }
    state.SetItemsProcessed(state.iterations() * 65536);
}
BENCHMARK(BM_AppendRtfChar);

}  // namespace
}  // namespace brevikon::bench
