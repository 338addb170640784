#include "cli/converter.h"

#include <algorithm>
#include <atomic>
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
#include "cli/document_output.h"
#include "cli/progress.h"

namespace brevikon {

namespace {

void WriteLine(std::FILE* stream, std::u16string_view line) {
    const std::string utf8 = Utf16ToUtf8(line) + "\n";
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    std::fflush(stream);
}

void ReportFailure(std::FILE* err, const NativeString& file, std::u16string_view message) {
    WriteLine(err, u"brevikon-rtf: " + NativeToUtf16(file) + u": " + std::u16string(message));
}

bool WriteToStream(std::FILE* stream, std::string_view bytes) {
    const std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), stream);
    const bool flushed = std::fflush(stream) == 0;
    return written == bytes.size() && flushed && !std::ferror(stream);
}

std::size_t WorkerCount(int jobs, std::size_t files) {
    std::size_t workers = jobs > 0 ? static_cast<std::size_t>(jobs)
                                   : static_cast<std::size_t>(std::thread::hardware_concurrency());
    if (workers == 0) workers = 1;
    return std::min(workers, files);
}

// The results of a run, filled by the workers in any order and taken by the reporting
// thread in input order.
class ResultBoard {
  public:
    explicit ResultBoard(std::size_t count) : results_(count), done_(count, false) {}

    JobResult& result(std::size_t job) { return results_[job]; }

    void MarkDone(std::size_t job) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            done_[job] = true;
            ++finished_;
            bytes_ += results_[job].inputBytes;
        }
        changed_.notify_all();
    }

    template <class Tick>
    void Tell(Tick tick) {
        std::unique_lock<std::mutex> lock(mutex_);
        const std::int64_t finished = finished_;
        const std::int64_t bytes = bytes_;
        lock.unlock();
        tick(finished, bytes);
    }

    // Waits until the job is done; while waiting, tick is called with the number of finished
    // jobs and their bytes, at least every tickInterval.
    template <class Tick>
    void WaitFor(std::size_t job, Tick tick) {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!done_[job]) {
            changed_.wait_for(lock, std::chrono::milliseconds(100));
            const std::int64_t finished = finished_;
            const std::int64_t bytes = bytes_;
            lock.unlock();
            tick(finished, bytes);
            lock.lock();
        }
    }

  private:
    std::vector<JobResult> results_;
    std::vector<bool> done_;
    std::int64_t finished_ = 0;
    std::int64_t bytes_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
};

}  // namespace

int RunConverter(const ConverterOptions& options, std::FILE* out, std::FILE* err) {
    const auto started = std::chrono::steady_clock::now();
    if (options.outputDir) {
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(*options.outputDir), error);
    }
    const std::vector<ConversionJob> jobs = PlanConversion(options);
    const std::size_t count = jobs.size();

    ResultBoard board(count);
    std::atomic<std::size_t> next{0};
    // Each worker keeps one DocumentOutput, with its tables and buffers, for all its files.
    auto work = [&] {
        DocumentOutput output;
        for (;;) {
            const std::size_t job = next.fetch_add(1);
            if (job >= count) return;
            ConvertJob(jobs[job], options, output, board.result(job));
            board.MarkDone(job);
        }
    };
    std::vector<std::thread> workers;
    const std::size_t wanted = WorkerCount(options.jobs, count);
    for (std::size_t i = 0; i < wanted; ++i) {
        try {
            workers.emplace_back(work);
        } catch (const std::system_error&) {
            break;  // fewer workers than asked; at worst this thread does it all below
        }
    }
    if (workers.empty() && count > 0) work();

    const bool several = count > 1;
    ProgressLine progress(err, several && !options.quiet && IsTerminal(err),
                          static_cast<std::int64_t>(count));
    auto tick = [&](std::int64_t finished, std::int64_t bytes) {
        progress.Update(finished, bytes);
    };
    std::int64_t failed = 0;
    for (std::size_t job = 0; job < count; ++job) {
        board.WaitFor(job, tick);
        JobResult& result = board.result(job);
        progress.Clear();
        if (!result.failed && jobs[job].toStream && !WriteToStream(out, result.streamBytes)) {
            result.failed = true;
            result.message = u"Die Datei konnte nicht geschrieben werden: Standardausgabe";
        }
        result.streamBytes = std::string();
        if (result.failed) {
            ReportFailure(err, jobs[job].input, result.message);
            ++failed;
        } else if (options.verbose && !options.quiet) {
            WriteLine(err, result.statusLine);
        }
        board.Tell(tick);
    }
    for (std::thread& worker : workers)
        worker.join();
    progress.Clear();

    // A single FILE keeps its quiet output; a recursive run tells its outcome even in a log,
    // several FILEs only on a terminal.
    if (several && !options.quiet && (options.recursive || IsTerminal(err))) {
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        const std::string line =
            SummaryLineText(static_cast<std::int64_t>(count) - failed, failed, seconds) + "\n";
        std::fputs(line.c_str(), err);
        std::fflush(err);
    }
    return failed == 0 ? ExitAllConverted : ExitSomeFailed;
}

int ConverterMain(const std::vector<NativeString>& arguments, std::FILE* out, std::FILE* err) {
    const ParsedArguments parsed = ParseConverterArguments(arguments);
    if (!parsed.usageError.empty()) {
        std::fprintf(err, "brevikon-rtf: %s\n\n%s", parsed.usageError.c_str(), ConverterUsage);
        return ExitUsage;
    }
    if (parsed.options.help) {
        std::fputs(ConverterUsage, out);
        return ExitAllConverted;
    }
    if (parsed.options.version) {
        std::fprintf(out, "brevikon-rtf %s (%s)\n", BREVIKON_VERSION, BREVIKON_COMPILER);
        return ExitAllConverted;
    }
    return RunConverter(parsed.options, out, err);
}

}  // namespace brevikon
