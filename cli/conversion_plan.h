#pragma once
// What one run converts: every input with its target, fixed before any worker starts, so
// that the outcome of each file depends neither on the order of work nor on timing.
#include <optional>
#include <string>
#include <vector>

#include "cli/converter_options.h"

namespace brevikon {

// One form of one input, and where it goes.
struct JobOutput {
    OutputFormat format = OutputFormat::Rtf;
    NativeString target;  // the output file; unused when the job goes to standard output
    // The same input and target as an earlier job: converted but not written again, so that
    // two workers never replace one file at the same time.
    bool repeated = false;
};

struct ConversionJob {
    NativeString input;              // as given, or as found below a folder given with -r
    NativeString belowFolder;        // found below a folder: the path below it, else empty
    std::vector<JobOutput> outputs;  // one per form of --to, in its order
    bool toStream = false;           // standard output ("-o -", or a report without -o and -d)
    bool namedByUser = false;        // -o: the target is the user's own choice, links and all
    // Found below a folder: the file the walk saw, and the folder beside it that an output
    // without -d goes into. Anything else there later is refused, not read or written.
    std::optional<ExpectedFile> expected;
    std::optional<FileIdentity> inputFolder;
    // With -d and a walked folder: the subfolders below -d that are made for the target.
    NativeString mirroredFolders;
    bool walked = false;  // found below a folder given with -r
    // When set the job fails with this text, nothing is read; code names it for the manifest.
    std::u16string refusal;
    std::string_view refusalCode;
    // An entry of a walked folder that is passed over, and why: nothing is read.
    std::string_view skipCode;
    std::u16string skipReason;
};

// The folder of a target, up to and including its last separator (the system's own).
NativeString TargetFolderPart(const NativeString& target);

// "Die Eingabedatei kann nicht ueberschrieben werden: " and the target.
std::u16string InputNotReplacedText(const NativeString& target);

// One job per FILE, or per entry found below a folder FILE with -r, in that order (entries
// passed over included, so that a run accounts for them). A target that names another input
// of the run or a protected file (the run's manifest), or that an earlier job with another
// input writes, is refused: within one run nothing written may replace an input, the record of
// the run or another output.
std::vector<ConversionJob> PlanConversion(const ConverterOptions& options,
                                          const std::vector<FileIdentity>& protectedFiles = {});

}  // namespace brevikon
