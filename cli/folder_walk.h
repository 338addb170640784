#pragma once
// -r: the files below a folder, in a fixed order, without the outputs of earlier runs.
#include <optional>
#include <string>
#include <vector>

#include "files/file_access.h"

namespace brevikon {

struct FoundFile {
    NativeString path;       // the folder as given, a separator, and the path below it
    NativeString subfolder;  // the folders between the given one and the file, each ending in
                             // a separator; empty for a file directly inside
    std::u16string failure;  // set for a folder that could not be read; path names it
};

struct WalkRules {
    std::vector<std::u16string> skippedEndings;  // names ending so (any case) are passed over
    std::vector<std::u16string> patterns;        // --match; empty takes every name
    std::optional<NativeString> outputDir;       // -d: never walked into, should it lie inside
};

// Appends every regular file below folder, depth first, each folder's entries sorted by
// name. Links to folders are not followed (so a cycle of links cannot loop); links to files
// are taken only when the file lies inside the folder. Devices, pipes and sockets are passed
// over.
void WalkFolder(const NativeString& folder, const WalkRules& rules, std::vector<FoundFile>& found);

}  // namespace brevikon
