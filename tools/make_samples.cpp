// make-samples: writes documents of the word processor for tests and measurements.
//   make-samples --samples DIR                          the bundled small samples
//   make-samples --kind realistic|attributes|plain --size BYTES OUT
//                                                       one large document of exactly BYTES
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "tools/sample_documents.h"

namespace {

using brevikon::GeneratedDocument;

constexpr int ExitUsage = 2;
constexpr int ExitFailure = 1;

int Usage() {
    std::cerr << "usage: make-samples --samples DIR\n"
                 "       make-samples --kind realistic|attributes|plain --size BYTES OUT\n"
                 "BYTES lies between "
              << brevikon::LargeDocumentMinSize << " and " << brevikon::LargeDocumentMaxSize
              << ".\n";
    return ExitUsage;
}

bool WriteDocument(const std::filesystem::path& path, const GeneratedDocument& document) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(document.bytes.data()),
              static_cast<std::streamsize>(document.bytes.size()));
    out.close();
    if (!out) {
        std::cerr << "make-samples: cannot write " << path.string() << "\n";
        return false;
    }
    return true;
}

void Describe(const std::filesystem::path& path, const GeneratedDocument& document) {
    std::cout << path.string() << ": " << document.bytes.size() << " bytes, text at "
              << document.textStart << ", end at " << document.textEnd << "; "
              << document.hardBreaks << " hard, " << document.softBreaks << " soft, "
              << document.pageBreaks << " page breaks, " << document.attributeEscapes
              << " attribute escapes\n";
}

int WriteBundledSamples(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    for (const auto& sample : brevikon::BuildBundledSamples()) {
        const auto path = folder / sample.fileName;
        if (!WriteDocument(path, sample.document)) return ExitFailure;
        Describe(path, sample.document);
        std::cout << "  " << sample.purpose << "\n";
    }
    return 0;
}

bool ParseSize(std::string_view text, std::int64_t& size) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, size);
    return result.ec == std::errc() && result.ptr == end &&
           size >= brevikon::LargeDocumentMinSize && size <= brevikon::LargeDocumentMaxSize;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "--samples") return WriteBundledSamples(args[1]);

    brevikon::SampleKind kind{};
    bool kindGiven = false;
    std::int64_t size = 0;
    std::string_view out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--kind" && hasValue) {
            if (!brevikon::ParseSampleKind(args[++i], kind)) return Usage();
            kindGiven = true;
        } else if (args[i] == "--size" && hasValue) {
            if (!ParseSize(args[++i], size)) return Usage();
        } else if (out.empty() && !args[i].starts_with("--")) {
            out = args[i];
        } else {
            return Usage();
        }
    }
    if (!kindGiven || size == 0 || out.empty()) return Usage();
    const GeneratedDocument document = brevikon::BuildLargeDocument(kind, size);
    if (!WriteDocument(std::filesystem::path(out), document)) return ExitFailure;
    Describe(out, document);
    return 0;
}
