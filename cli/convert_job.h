#pragma once
// The work for one file of a run: read, convert, write. Runs on any worker; its result is
// reported by the run in input order.
#include <cstdint>
#include <string>

#include "cli/conversion_plan.h"
#include "document/document_output.h"
#include "files/file_store.h"

namespace brevikon {

struct JobResult {
    bool failed = false;
    std::u16string message;     // why it failed, as it follows "brevikon-rtf: PATH: "
    std::u16string statusLine;  // the -v line of a converted file
    std::string streamBytes;    // output bound for standard output, written by the run
    std::int64_t inputBytes = 0;
};

// Everything but writing to standard output, which the run does in input order.
void ConvertJob(const ConversionJob& job, const ConverterOptions& options, FileStore& files,
                DocumentOutput& output, JobResult& result);

}  // namespace brevikon
