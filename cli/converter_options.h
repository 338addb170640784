#pragma once
// The command line of brevikon-rtf.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/output_forms.h"
#include "files/file_access.h"
#include "format/font_mode.h"

namespace brevikon {

// -j without a number: as many workers as the machine has processors.
constexpr int JobsFromProcessors = 0;

struct ConverterOptions {
    std::vector<OutputFormat> formats{OutputFormat::Rtf};  // --to, one or several
    FontMode fontMode = FontMode::Monospace;
    bool reflow = false;                    // --reflow: text without justification's fillers
    std::optional<NativeString> output;     // -o; "-" is standard output
    std::optional<NativeString> outputDir;  // -d
    bool recursive = false;                 // -r: a FILE may be a folder
    std::vector<NativeString> patterns;     // --match, for files found in folders
    bool keepExtension = false;             // --keep-extension: BRIEF.DOC gives BRIEF.DOC.rtf
    bool skipNonDocuments = false;          // --skip-non-documents, for files found in folders
    std::optional<NativeString> manifest;   // --manifest: the run's record; "-" standard output
    std::optional<NativeString> verify;     // --verify: checks a manifest instead of converting
    int jobs = JobsFromProcessors;          // -j
    // --memory-budget: MiB of document images all workers may hold at once; 0: a quarter of
    // the machine's memory.
    std::uint64_t imageBudgetMiB = 0;
    bool verbose = false;
    bool quiet = false;
    bool help = false;
    bool version = false;
    std::vector<NativeString> files;
};

struct ParsedArguments {
    ConverterOptions options;
    std::string usageError;  // empty when the command line is valid
};

// True when each converted file has its line (-v without -q).
inline bool ShowsFileLines(const ConverterOptions& options) {
    return options.verbose && !options.quiet;
}

// True when a form's bytes go to standard output: "-o -", or a report alone without -o and -d.
bool OutputGoesToStream(const ConverterOptions& options);

// arguments: without the program's own name.
ParsedArguments ParseConverterArguments(const std::vector<NativeString>& arguments);

// The endings of every output this converter writes, each once. A recursive run passes over
// files whose names end so: they are outputs of an earlier run.
std::vector<std::string_view> OutputEndings();

// The help text, its list of forms and default names read from the table of forms.
std::string ConverterUsage();

}  // namespace brevikon
