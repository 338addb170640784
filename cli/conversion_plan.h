#pragma once
// What one run converts: every input with its target, fixed before any worker starts, so
// that the outcome of each file depends neither on the order of work nor on timing.
#include <string>
#include <vector>

#include "cli/converter_options.h"

namespace brevikon {

struct ConversionJob {
    NativeString input;     // as given, or as found below a folder given with -r
    NativeString target;    // the output file; unused when toStream
    bool toStream = false;  // standard output ("-o -", or a report without -o and -d)
    bool mirrored = false;  // the target's folder below -d is created before writing
    // The same input and target as an earlier job: converted but not written again, so that
    // two workers never replace one file at the same time.
    bool repeated = false;
    std::u16string refusal;  // when set the job fails with this text, nothing is read
};

// One job per FILE, or per file found below a folder FILE with -r, in that order. A target
// that names another input of the run, or that an earlier job with another input writes, is
// refused: within one run nothing written may replace an input or another output.
std::vector<ConversionJob> PlanConversion(const ConverterOptions& options);

}  // namespace brevikon
