#pragma once
// --verify MANIFEST: reads every input and output a run's manifest names again and compares
// them with their recorded SHA-256; one line for each that is missing or changed.
#include <cstdio>

#include "cli/converter_options.h"

namespace brevikon {

// Exit 0 when every file is there unchanged, 1 otherwise (also when the manifest cannot be
// read or holds a line that is not a record). With --manifest the check is recorded.
int VerifyManifest(const ConverterOptions& options, std::FILE* out, std::FILE* err);

}  // namespace brevikon
