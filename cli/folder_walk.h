#pragma once
// -r: the files below a folder, in a fixed order, without the outputs of earlier runs.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_access.h"

namespace brevikon {

struct FoundFile {
    NativeString path;       // the folder as given, a separator, and the path below it
    NativeString subfolder;  // the folders between the given one and the file, each ending in
                             // a separator; empty for a file directly inside
    ExpectedFile expected;   // the file the walk saw there: reading takes that one or none
    FileIdentity folder;     // the folder it lies in, as the walk saw it
    std::u16string failure;  // set for an entry that could not be examined; path names it
    // Set for an entry that is passed over: a stable code and the reason in words.
    std::string_view skipCode;
    std::u16string_view skipReason;
};

// Why entries are passed over.
constexpr std::string_view SkipEarlierOutput = "earlier_output";
constexpr std::string_view SkipNotMatched = "not_matched";
constexpr std::string_view SkipLinkOutside = "link_outside";
constexpr std::string_view SkipNotRegular = "not_regular";

struct WalkRules {
    std::vector<std::u16string> skippedEndings;  // names ending so (any case) are passed over
    std::vector<std::u16string> patterns;        // --match; empty takes every name
    std::optional<FileIdentity> outputDir;       // -d: never walked into, should it lie inside
    std::vector<FileIdentity> leftOut;           // files of the run itself (its manifest)
};

// Appends every regular file below folder, depth first, each folder's entries sorted by
// name. Links to folders are not followed (so a cycle of links cannot loop); links to files
// are taken only when the file lies inside the folder. Devices, pipes, sockets, links not
// taken, outputs of earlier runs and names no --match fits are found as passed over, with
// their reason; only this program's own temporary files are left out. Every folder is opened
// relative to the one holding it and never through a link, so a folder swapped for a link during
// the walk is not entered; an entry that cannot be examined is found with its failure.
void WalkFolder(const NativeString& folder, const WalkRules& rules, std::vector<FoundFile>& found);

}  // namespace brevikon
