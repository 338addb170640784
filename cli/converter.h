#pragma once
// brevikon-rtf's run over its FILE arguments.
#include <cstdio>
#include <vector>

#include "cli/converter_options.h"
#include "files/file_store.h"

namespace brevikon {

constexpr int ExitAllConverted = 0;
constexpr int ExitSomeFailed = 1;
constexpr int ExitUsage = 2;

// Converts every FILE; error lines go to err, "-o -" and reports to out. Returns the exit code.
// Inputs are read and named outputs written through files.
int RunConverter(const ConverterOptions& options, std::FILE* out, std::FILE* err,
                 FileStore& files = SystemFiles());

// Parses the arguments (without the program name) and runs; usage errors give ExitUsage.
int ConverterMain(const std::vector<NativeString>& arguments, std::FILE* out, std::FILE* err);

}  // namespace brevikon
