#pragma once
// The work for one file of a run: read, convert, write. Runs on any worker; its result is
// reported by the run in input order.
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/document_facts.h"
#include "cli/conversion_plan.h"
#include "document/document_output.h"
#include "files/file_store.h"

namespace brevikon {

enum class JobOutcome { Converted, Failed, Skipped };

// One output a job wrote, as the manifest records it.
struct WrittenOutput {
    OutputFormat format = OutputFormat::Rtf;
    NativeString target;  // empty for standard output
    std::int64_t size = 0;
    std::string sha256;  // of the bytes written
};

struct JobResult {
    JobOutcome outcome = JobOutcome::Converted;
    std::string_view code;      // why it failed or was passed over, for the manifest
    std::u16string message;     // why, as it follows "brevikon-rtf: PATH: "
    std::u16string statusLine;  // the viewer's status line of the converted document
    std::string streamBytes;    // output bound for standard output, written by the run
    std::int64_t inputBytes = 0;
    // What the manifest records; filled only when the run keeps one (sha256, facts) or
    // judges files (facts).
    bool inputRead = false;
    FileTime inputModified;
    std::string inputSha256;
    std::vector<WrittenOutput> written;
    // Held apart: the counts are kilobytes, and a run holds a result for every file.
    std::unique_ptr<DocumentFacts> facts;
    Plausibility plausibility;
    std::chrono::system_clock::time_point started, ended;

    bool failed() const { return outcome == JobOutcome::Failed; }
};

// The folder a worker's last default-named outputs went into, held for its next job: a run
// takes its files folder by folder, and opening the same folder again for every file cost
// more system calls than the file itself. Held open, it stays the folder that was checked.
struct OutputFolderCache {
    NativeString key;  // which folder, as the job names it; empty when none is held
    FolderHandle folder;
};

// Everything but writing to standard output, which the run does in input order. The input's
// image comes from images.
void ConvertJob(const ConversionJob& job, const ConverterOptions& options, FileStore& files,
                Heap& images, DocumentOutput& output, OutputFolderCache& folders,
                JobResult& result);
// The same with no folder kept from an earlier job.
void ConvertJob(const ConversionJob& job, const ConverterOptions& options, FileStore& files,
                Heap& images, DocumentOutput& output, JobResult& result);

}  // namespace brevikon
