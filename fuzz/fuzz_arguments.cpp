// The converter's command-line parser on any argument list (NUL separates arguments).
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "cli/converter_options.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brevikon;
    std::vector<NativeString> arguments(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            arguments.emplace_back();
        } else {
            arguments.back() += static_cast<NativeString::value_type>(data[i]);
        }
    }
    const ParsedArguments parsed = ParseConverterArguments(arguments);
    if (!parsed.usageError.empty() || parsed.options.help || parsed.options.version) return 0;
    // A valid command line names files, and -o goes with exactly one of them.
    Require(!parsed.options.files.empty());
    Require(!parsed.options.output || parsed.options.files.size() == 1);
    Require(!(parsed.options.output && parsed.options.outputDir));
    for (const auto& file : parsed.options.files) {
        bool listed = false;
        for (const auto& argument : arguments)
            listed = listed || argument == file;
        Require(listed);
    }
    return 0;
}
