#include "cli/converter.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#include "base/text.h"
#include "base/version.h"
#include "cli/conversion_plan.h"
#include "cli/convert_job.h"
#include "cli/image_budget.h"
#include "cli/progress.h"
#include "cli/run_manifest.h"
#include "cli/verify_manifest.h"
#include "document/document_output.h"
#include "document/message_texts.h"
#include "files/system_memory.h"
#include "pdf/pdf_fonts.h"

namespace brevikon {

namespace {

void WriteLine(std::FILE* stream, std::u16string_view line) {
    const std::string utf8 = Utf16ToUtf8(line) + "\n";
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    std::fflush(stream);
}

void ReportFailure(std::FILE* err, const NativeString& file, std::u16string_view message) {
    WriteLine(err, u"brevikon-rtf: " + PathForMessage(file) + u": " + std::u16string(message));
}

// False with the system's error when not every byte arrived.
bool WriteToStream(std::FILE* stream, std::string_view bytes, int& error) {
    errno = 0;
    const std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), stream);
    const bool flushed = std::fflush(stream) == 0;
    error = errno;
    return written == bytes.size() && flushed && !std::ferror(stream);
}

// Help and version: a full disk or a closed pipe is a failure, not a success.
int WriteInformation(std::FILE* out, std::FILE* err, std::string_view text) {
    int error = 0;
    if (WriteToStream(out, text, error)) return ExitAllConverted;
    WriteLine(err, u"brevikon-rtf: Die Ausgabe konnte nicht geschrieben werden: Standardausgabe (" +
                       SystemErrorText(error) + u")");
    return ExitSomeFailed;
}

// Bytes of document images the workers may hold at once.
std::uint64_t ImageBudget(const ConverterOptions& options) {
    if (options.imageBudgetMiB > 0) return options.imageBudgetMiB << 20;
    const std::uint64_t memory = AvailableMemory();
    return memory > 0 ? memory / 4 : UINT64_MAX;
}

std::size_t WorkerCount(int jobs, std::size_t files) {
    std::size_t workers = jobs > 0 ? static_cast<std::size_t>(jobs)
                                   : static_cast<std::size_t>(std::thread::hardware_concurrency());
    if (workers == 0) workers = 1;
    return std::min(workers, files);
}

// The reporting of a run. Results are printed in input order by whichever worker finishes
// the next file due, so no thread wakes another per file; the calling thread only redraws
// the progress line until everything is printed.
class RunReport {
  public:
    RunReport(const ConverterOptions& options, const std::vector<ConversionJob>& jobs,
              std::FILE* out, std::FILE* err, ManifestSink* manifest)
        : options_(options),
          jobs_(jobs),
          out_(out),
          err_(err),
          manifest_(manifest),
          results_(jobs.size()),
          done_(jobs.size(), false),
          progress_(err, jobs.size() > 1 && !options.quiet && IsTerminal(err),
                    static_cast<std::int64_t>(jobs.size())) {}

    JobResult& result(std::size_t job) { return results_[job]; }

    void Finish(std::size_t job) {
        const std::lock_guard<std::mutex> lock(mutex_);
        done_[job] = true;
        ++finished_;
        bytes_ += results_[job].inputBytes;
        while (printed_ < done_.size() && done_[printed_])
            Print(printed_++);
        if (printed_ == done_.size()) allPrinted_.notify_all();
    }

    void WaitUntilAllPrinted() {
        std::unique_lock<std::mutex> lock(mutex_);
        while (printed_ < done_.size()) {
            allPrinted_.wait_for(lock, std::chrono::milliseconds(100));
            progress_.Update(finished_, bytes_);
        }
        progress_.Clear();
    }

    const RunCounts& counts() const { return counts_; }

  private:
    void Print(std::size_t job) {
        JobResult& result = results_[job];
        const bool verbose = ShowsFileLines(options_);
        // The progress line stays up unless a line or output of this file comes.
        if (jobs_[job].toStream || result.failed() || verbose) progress_.Clear();
        int error = 0;
        if (result.outcome == JobOutcome::Converted && jobs_[job].toStream &&
            !WriteToStream(out_, result.streamBytes, error)) {
            result.outcome = JobOutcome::Failed;
            result.code = "write_error";
            result.message = std::u16string(FileNotWrittenText) + u" Standardausgabe";
            if (error != 0) result.message += u" (" + SystemErrorText(error) + u")";
            result.written.clear();
        }
        result.streamBytes = std::string();
        switch (result.outcome) {
            case JobOutcome::Failed:
                ReportFailure(err_, jobs_[job].input, result.message);
                ++counts_.failed;
                break;
            case JobOutcome::Skipped:
                if (verbose) {
                    WriteLine(err_, PathForMessage(jobs_[job].input) + u": uebergangen (" +
                                        result.message + u")");
                }
                ++counts_.skipped;
                break;
            case JobOutcome::Converted:
                if (verbose) WriteLine(err_, result.statusLine);
                ++counts_.converted;
                break;
        }
        if (manifest_) manifest_->Write(FileRecordLine(job + 1, jobs_[job], result, options_));
        // What the manifest holds now is not needed any more.
        const JobOutcome outcome = result.outcome;
        result = JobResult();
        result.outcome = outcome;
    }

    const ConverterOptions& options_;
    const std::vector<ConversionJob>& jobs_;
    std::FILE* out_;
    std::FILE* err_;
    ManifestSink* manifest_;
    std::vector<JobResult> results_;
    std::mutex mutex_;  // guards everything below
    std::vector<bool> done_;
    std::size_t printed_ = 0;
    std::int64_t finished_ = 0;
    std::int64_t bytes_ = 0;
    RunCounts counts_;
    ProgressLine progress_;
    std::condition_variable allPrinted_;
};

}  // namespace

int RunConverter(const ConverterOptions& options, std::FILE* out, std::FILE* err,
                 FileStore& files) {
    const auto started = std::chrono::steady_clock::now();
    const auto startedUtc = std::chrono::system_clock::now();
    // Known before anything is written: without its fonts no file could become a PDF.
    if (std::find(options.formats.begin(), options.formats.end(), OutputFormat::Pdf) !=
        options.formats.end()) {
        if (const std::string missing = UnreadablePdfResource(options.fontMode); !missing.empty()) {
            WriteLine(err, u"brevikon-rtf: Das PDF braucht " + Utf8ToUtf16(missing) +
                               u"; die Datei fehlt oder ist unlesbar (Debian-Pakete "
                               u"fonts-liberation, fonts-dejavu-core, icc-profiles-free).");
            return ExitSomeFailed;
        }
    }
    // Made before the walk, so that the walk leaves it out and no output replaces it.
    std::optional<ManifestSink> manifest;
    std::vector<FileIdentity> protectedFiles;
    if (options.manifest) {
        std::u16string failure;
        if (!manifest.emplace().Open(*options.manifest, out, failure)) {
            WriteLine(err, u"brevikon-rtf: " + failure);
            return ExitSomeFailed;
        }
        if (const auto identity = manifest->identity()) protectedFiles.push_back(*identity);
    }
    if (options.outputDir) {
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(*options.outputDir), error);
    }
    const std::vector<ConversionJob> jobs = PlanConversion(options, protectedFiles);
    const std::size_t count = jobs.size();

    RunReport report(options, jobs, out, err, manifest ? &*manifest : nullptr);
    BudgetedHeap images(ProcessHeap(), ImageBudget(options));
    std::atomic<std::size_t> next{0};
    // Each worker keeps one DocumentOutput, with its tables and buffers, for all its files.
    auto work = [&] {
        DocumentOutput output;
        OutputFolderCache folders;
        for (;;) {
            const std::size_t job = next.fetch_add(1);
            if (job >= count) return;
            ConvertJob(jobs[job], options, files, images, output, folders, report.result(job));
            report.Finish(job);
        }
    };
    std::vector<std::thread> workers;
    const std::size_t wanted = WorkerCount(options.jobs, count);
    for (std::size_t i = 0; i < wanted; ++i) {
        try {
            workers.emplace_back(work);
        } catch (const std::system_error&) {
            break;  // fewer workers than asked; at worst this thread does it all
        }
    }
    if (workers.empty()) work();
    report.WaitUntilAllPrinted();
    for (std::thread& worker : workers)
        worker.join();

    const RunCounts& counts = report.counts();
    bool manifestLost = false;
    if (manifest) {
        manifest->Write(
            SummaryRecordLine(counts, options, startedUtc, std::chrono::system_clock::now()));
        if (!manifest->failure().empty()) {
            WriteLine(err, u"brevikon-rtf: " + manifest->failure());
            manifestLost = true;
        }
    }
    // A single FILE keeps its quiet output; a recursive run tells its outcome even in a log,
    // several FILEs only on a terminal.
    if (count > 1 && !options.quiet && (options.recursive || IsTerminal(err))) {
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        const std::string line =
            SummaryLineText(counts.converted, counts.failed, counts.skipped, seconds) + "\n";
        std::fputs(line.c_str(), err);
        std::fflush(err);
    }
    return counts.failed == 0 && !manifestLost ? ExitAllConverted : ExitSomeFailed;
}

int ConverterMain(const std::vector<NativeString>& arguments, std::FILE* out, std::FILE* err) {
    const ParsedArguments parsed = ParseConverterArguments(arguments);
    if (!parsed.usageError.empty()) {
        std::fprintf(err, "brevikon-rtf: %s\nMehr mit: brevikon-rtf --help\n",
                     parsed.usageError.c_str());
        return ExitUsage;
    }
    if (parsed.options.help) return WriteInformation(out, err, ConverterUsage());
    if (parsed.options.verify) return VerifyManifest(parsed.options, out, err);
    if (parsed.options.version) {
        return WriteInformation(
            out, err,
            std::string("brevikon-rtf ") + BREVIKON_VERSION + " (" + BREVIKON_COMPILER + ")\n");
    }
    return RunConverter(parsed.options, out, err);
}

}  // namespace brevikon
