// The text and HTML forms of the generated documents, as the converter makes them whole.
#include <benchmark/benchmark.h>

#include "bench_documents.h"
#include "text_export/convert_to_html.h"
#include "text_export/convert_to_text.h"

namespace brevikon::bench {
namespace {

CharTable Table() {
    CharTable table{};
    BuildCharTable(table);
    return table;
}

void BM_TextExport(benchmark::State& state) {
    const GeneratedDocument& document = Document(KindOf(state));
    const auto length = static_cast<std::int64_t>(document.bytes.size());
    const CharTable table = Table();
    const TextExporter exporter(table);
    ExportBuffer out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(exporter.Convert(document.bytes.data(), length, out));
    }
    state.SetBytesProcessed(state.iterations() * length);
    state.SetLabel(KindName(KindOf(state)));
}
BREVIKON_FOR_EVERY_KIND(BM_TextExport);

void BM_HtmlExport(benchmark::State& state) {
    const GeneratedDocument& document = Document(KindOf(state));
    const auto length = static_cast<std::int64_t>(document.bytes.size());
    const CharTable table = Table();
    const HtmlExporter exporter(table);
    ExportBuffer out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            exporter.Convert(document.bytes.data(), length, FontMode::Monospace, "BENCH", out));
    }
    state.SetBytesProcessed(state.iterations() * length);
    state.SetLabel(KindName(KindOf(state)));
}
BREVIKON_FOR_EVERY_KIND(BM_HtmlExport);

}  // namespace
}  // namespace brevikon::bench
