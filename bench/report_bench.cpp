// The structure report's counting pass and its RTF rendering.
#include <benchmark/benchmark.h>

#include "analysis/report_rtf.h"
#include "analysis/structure_report.h"
#include "bench_documents.h"

namespace brevikon::bench {
namespace {

void BM_BuildStructureReport(benchmark::State& state) {
    const GeneratedDocument& document = Document(KindOf(state));
    const auto length = static_cast<std::int64_t>(document.bytes.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildStructureReport(document.bytes.data(), length, u"BENCH.TXT"));
    }
    state.SetBytesProcessed(state.iterations() * length);
    state.SetLabel(KindName(KindOf(state)));
}
BREVIKON_FOR_EVERY_KIND(BM_BuildStructureReport);

void BM_RenderReportRtf(benchmark::State& state) {
    const GeneratedDocument& document = Document(KindOf(state));
    const std::u16string report = BuildStructureReport(
        document.bytes.data(), static_cast<std::int64_t>(document.bytes.size()), u"BENCH.TXT");
    RtfBuffer buffer;
    for (auto _ : state) {
        RenderReportRtf(buffer, report);
        benchmark::DoNotOptimize(buffer.used);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(report.size()));
    state.SetLabel(KindName(KindOf(state)));
}
BREVIKON_FOR_EVERY_KIND(BM_RenderReportRtf)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace brevikon::bench
