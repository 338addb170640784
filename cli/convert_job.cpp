#include "cli/convert_job.h"

#include <new>
#include <optional>

#include "document/message_texts.h"
#include "document/path_names.h"
#include "fixity/sha256.h"
#include "format/document_format.h"

namespace brevikon {

namespace {

// The viewer's message, then what went wrong on the same line.
std::u16string WithDetail(std::u16string_view text, std::u16string_view detail) {
    std::u16string line(text);
    line += u' ';
    line += detail;
    return line;
}

constexpr std::u16string_view ChecksumFailedText =
    u"Die Pruefsumme (SHA-256) konnte nicht berechnet werden.";

// The manifest's stable name of a refused read.
std::string_view ReadFailureCode(ReadStatus status) {
    switch (status) {
        case ReadStatus::Missing:
            return "missing";
        case ReadStatus::Directory:
            return "folder";
        case ReadStatus::NotRegular:
            return "not_regular";
        case ReadStatus::Empty:
            return "empty";
        case ReadStatus::TooLarge:
            return "too_large";
        case ReadStatus::OutOfMemory:
            return "no_memory";
        case ReadStatus::Changed:
            return "changed";
        default:
            return "read_error";
    }
}

std::u16string ReadFailureText(const ReadResult& read, const ConverterOptions& options) {
    switch (read.status) {
        case ReadStatus::Missing:
            return u"Die Datei wurde nicht gefunden.";
        case ReadStatus::Directory:
            return options.recursive ? u"Das ist ein Ordner, keine Datei."
                                     : u"Das ist ein Ordner, keine Datei. Ordner wandelt -r um.";
        case ReadStatus::NotRegular:
            return u"Das ist keine gewoehnliche Datei und wird nicht gelesen.";
        case ReadStatus::Empty:
            return std::u16string(FileEmptyText);
        case ReadStatus::TooLarge:
            return std::u16string(FileTooLargeText);
        case ReadStatus::OutOfMemory:
            return std::u16string(OutOfMemoryText);
        case ReadStatus::ShortRead:
            return WithDetail(FileNotOpenedText, u"sie war kuerzer als angegeben.");
        case ReadStatus::Changed:
            return u"Die Datei ist nicht mehr die beim Durchsuchen gefundene und wird nicht "
                   u"gelesen.";
        case ReadStatus::OpenFailed:
        default:
            return WithDetail(FileNotOpenedText, SystemErrorText(read.systemError));
    }
}

void Fail(JobResult& result, std::string_view code, std::u16string message) {
    result.outcome = JobOutcome::Failed;
    result.code = code;
    result.message = std::move(message);
}

std::u16string NotWrittenText(const NativeString& target, std::u16string_view reason) {
    return WithDetail(FileNotWrittenText,
                      PathForMessage(target) + u" (" + std::u16string(reason) + u")");
}

#ifdef _WIN32
constexpr NativeString::value_type PathSeparator = L'\\';
#else
constexpr NativeString::value_type PathSeparator = '/';
#endif

// The folder a default-named output goes into, held open: the input's own folder (the very
// one the walk saw), -d, or below -d the mirrored subfolders, made where missing and never
// entered through a link. Empty with failure set when it cannot be had.
FolderHandle OpenTargetFolder(const ConversionJob& job, const ConverterOptions& options,
                              const NativeString& target, std::u16string& failure) {
    if (job.mirroredFolders.empty()) {
        FolderResult folder = OpenFolder(TargetFolderPart(target), job.inputFolder);
        if (!folder.folder.open()) {
            failure =
                NotWrittenText(target, folder.changed ? u"der Ordner ist nicht mehr der gefundene"
                                                      : SystemErrorText(folder.systemError));
        }
        return std::move(folder.folder);
    }
    FolderResult base = OpenFolder(*options.outputDir);
    if (!base.folder.open()) {
        failure = NotWrittenText(target, SystemErrorText(base.systemError));
        return {};
    }
    FolderHandle folder = std::move(base.folder);
    const NativeString& folders = job.mirroredFolders;
    for (std::size_t start = 0, end; start < folders.size(); start = end + 1) {
        end = folders.find(PathSeparator, start);
        if (end == NativeString::npos) end = folders.size();
        const NativeString name = folders.substr(start, end - start);
        FolderResult inner = OpenSubfolder(folder, name, true);
        if (!inner.folder.open()) {
            failure = u"Der Ordner konnte nicht angelegt werden: " +
                      PathForMessage(folder.path() + name) + u" (" +
                      (inner.changed      ? u"eine Verknuepfung, wird nicht verfolgt"
                       : inner.notAFolder ? u"dort steht eine Datei, kein Ordner"
                                          : SystemErrorText(inner.systemError)) +
                      u")";
            return {};
        }
        folder = std::move(inner.folder);
    }
    return folder;
}

// Writes a default-named output as a new regular file into folder; false with the failure.
bool WriteDefaultOutput(const FolderHandle& folder, const NativeString& target,
                        const FileIdentity& input, const OutputContent& content,
                        JobResult& result) {
    const NativeString name = target.substr(TargetFolderPart(target).size());
    const WriteResult written = WriteNewOutput(folder, name, content, input);
    if (written.ok) return true;
    if (written.incomplete) {
        Fail(result, "no_memory", std::u16string(OutOfMemoryText));
    } else if (written.isInput) {
        Fail(result, "name_collision", InputNotReplacedText(target));
    } else if (written.notReplaced) {
        Fail(result, "target_not_replaced",
             NotWrittenText(target, u"keine gewoehnliche Datei, wird nicht ersetzt"));
    } else {
        Fail(result, "write_error", NotWrittenText(target, SystemErrorText(written.systemError)));
    }
    return false;
}

// Passes an output on to its file while counting its bytes and, for the manifest, taking its
// checksum: the output is never held whole, so this is the only place that sees all of it.
class OutputTally : public ByteSink {
  public:
    OutputTally(ByteSink& next, bool hashing) : next_(next) {
        if (hashing) hash_.emplace();
    }
    bool Put(std::string_view bytes) override {
        size_ += static_cast<std::int64_t>(bytes.size());
        if (hash_) hash_->Update(bytes);
        return next_.Put(bytes);
    }
    std::int64_t size() const { return size_; }
    // Empty when not hashing or the system's provider failed.
    std::string Finish() { return hash_ ? hash_->Finish() : std::string(); }

  private:
    ByteSink& next_;
    std::optional<Sha256> hash_;
    std::int64_t size_ = 0;
};

// The line -v shows: the input, where its forms went, and the viewer's status line.
std::u16string VerboseLine(const ConversionJob& job, const std::u16string& statusLine) {
    std::u16string line = PathForMessage(job.input) + u" -> ";
    if (job.toStream) {
        line += u"Standardausgabe";
    } else {
        for (std::size_t i = 0; i < job.outputs.size(); ++i)
            line += (i ? u", " : u"") + PathForMessage(job.outputs[i].target);
    }
    return line + u": " + statusLine;
}

// The facts and the verdict, when the run keeps a manifest or passes over non-documents.
// True when the file is to be passed over.
bool Judge(const ConversionJob& job, const ConverterOptions& options, const HeapBlock& image,
           std::int64_t length, JobResult& result) {
    if (!options.manifest && !options.skipNonDocuments) return false;
    result.facts = std::make_unique<DocumentFacts>();
    AnalyseDocument(image.data(), length, *result.facts);
    result.plausibility = JudgePlausibility(*result.facts);
    if (!options.skipNonDocuments || !job.walked ||
        result.plausibility.verdict != Verdict::NotADocument) {
        return false;
    }
    result.outcome = JobOutcome::Skipped;
    result.code = "not_plausible";
    result.message = u"kein Dokument";
    for (std::size_t i = 0; i < result.plausibility.reasons.size(); ++i)
        result.message += (i ? u", " : u": ") + std::u16string(result.plausibility.reasons[i].text);
    return true;
}

// Tells the folders of default-named outputs apart: -d and the mirrored subfolders, or the
// input's folder as spelled and as the walk saw it.
NativeString OutputFolderKey(const ConversionJob& job, const ConverterOptions& options,
                             const NativeString& target) {
    NativeString key;
    const auto append = [&key](std::uint64_t number) {
        key += NativeString::value_type('\0');
        do {
            key += static_cast<NativeString::value_type>('0' + number % 10);
            number /= 10;
        } while (number > 0);
    };
    if (job.mirroredFolders.empty()) {
        key = TargetFolderPart(target);
        if (job.inputFolder) {
            append(job.inputFolder->device);
            append(job.inputFolder->index);
        }
    } else {
        key = *options.outputDir + NativeString::value_type('\0') + job.mirroredFolders;
    }
    return key;
}

void Convert(const ConversionJob& job, const ConverterOptions& options, FileStore& files,
             Heap& images, DocumentOutput& output, OutputFolderCache& folders, JobResult& result) {
    if (!job.skipCode.empty()) {
        result.outcome = JobOutcome::Skipped;
        result.code = job.skipCode;
        result.message = job.skipReason;
        return;
    }
    // A target that is an input was refused when the run was planned (by identity, through
    // links and hard links too); WriteNewOutput refuses it again at the moment of writing.
    if (!job.refusal.empty()) return Fail(result, job.refusalCode, job.refusal);
    HeapBlock image;
    const ReadResult read = files.Read(job.input, MaxDocumentSize, images, image,
                                       job.expected ? &*job.expected : nullptr);
    if (read.status != ReadStatus::Ok) {
        return Fail(result, ReadFailureCode(read.status), ReadFailureText(read, options));
    }
    result.inputBytes = read.length;
    result.inputRead = true;
    result.inputModified = read.modified;
    if (options.manifest) {
        result.inputSha256 = Sha256Hex(
            {reinterpret_cast<const char*>(image.data()), static_cast<std::size_t>(read.length)});
        // A record without its checksum would pass for a complete one.
        if (result.inputSha256.empty())
            return Fail(result, "checksum_error", std::u16string(ChecksumFailedText));
    }
    if (Judge(job, options, image, read.length, result)) return;

    const std::u16string fileName = FileNamePart(NativeToUtf16(job.input), false);
    const DocumentInput input{image.data(), read.length, options.fontMode, fileName,
                              options.reflow};
    const FolderHandle* folder = nullptr;  // the default outputs' folder, for all forms
    bool lineOfReport = false;
    for (const JobOutput& form : job.outputs) {
        // A file output is made as it is written, in blocks: the output is never held whole.
        // Standard output is the exception, as it must wait for the files before it.
        std::int64_t size = 0;
        std::string sha256;
        const ContentProducer produce = [&](ByteSink& sink) {
            OutputTally tally(sink, options.manifest.has_value());  // afresh for a retry
            const bool whole = output.Stream(form.format, input, tally);
            size = tally.size();
            sha256 = tally.Finish();
            return whole;
        };
        if (job.toStream) {
            if (!output.Produce(form.format, input)) {
                return Fail(result, "no_memory", std::u16string(OutOfMemoryText));
            }
            // Not held while the output waits for its turn: one image less at the peak.
            if (&form == &job.outputs.back()) image.Release();
            result.streamBytes.assign(output.bytes());
            size = static_cast<std::int64_t>(output.bytes().size());
            if (options.manifest) sha256 = Sha256Hex(output.bytes());
        } else if (form.repeated) {
            // Written by the earlier job of the same input and target; made only to be
            // counted and recorded.
            DiscardingSink nowhere;
            if (!produce(nowhere)) {
                return Fail(result, "no_memory", std::u16string(OutOfMemoryText));
            }
        } else if (job.namedByUser) {
            const WriteResult written = files.Write(form.target, OutputContent(produce));
            if (written.incomplete) {
                return Fail(result, "no_memory", std::u16string(OutOfMemoryText));
            }
            if (!written.ok) {
                return Fail(result, "write_error",
                            NotWrittenText(form.target, SystemErrorText(written.systemError)));
            }
        } else {
            if (!folder) {
                NativeString key = OutputFolderKey(job, options, form.target);
                if (key != folders.key || !folders.folder.open()) {
                    folders.key.clear();
                    std::u16string failure;
                    folders.folder = OpenTargetFolder(job, options, form.target, failure);
                    if (!folders.folder.open()) {
                        return Fail(result, "write_error", std::move(failure));
                    }
                    folders.key = std::move(key);
                }
                folder = &folders.folder;
            }
            if (!WriteDefaultOutput(*folder, form.target, read.identity, OutputContent(produce),
                                    result)) {
                return;
            }
        }
        WrittenOutput& written = result.written.emplace_back();
        written.format = form.format;
        if (!job.toStream) written.target = form.target;
        written.size = size;
        if (options.manifest) {
            written.sha256 = std::move(sha256);
            if (written.sha256.empty())
                return Fail(result, "checksum_error", std::u16string(ChecksumFailedText));
        }
        // The status line is the document's, not the report's, when both are written. Made
        // only to be shown: in a quiet run of many small files it took a twentieth of the
        // instructions.
        const bool report =
            form.format == OutputFormat::Report || form.format == OutputFormat::ReportRtf;
        if (ShowsFileLines(options) && (result.statusLine.empty() || (lineOfReport && !report))) {
            result.statusLine = output.statusLine();
            lineOfReport = report;
        }
    }
    if (ShowsFileLines(options)) result.statusLine = VerboseLine(job, result.statusLine);
}

}  // namespace

void ConvertJob(const ConversionJob& job, const ConverterOptions& options, FileStore& files,
                Heap& images, DocumentOutput& output, JobResult& result) {
    OutputFolderCache none;
    ConvertJob(job, options, files, images, output, none, result);
}

void ConvertJob(const ConversionJob& job, const ConverterOptions& options, FileStore& files,
                Heap& images, DocumentOutput& output, OutputFolderCache& folders,
                JobResult& result) {
    result.started = std::chrono::system_clock::now();
    try {
        Convert(job, options, files, images, output, folders, result);
    } catch (const std::bad_alloc&) {
        // One file too large for what is left must not end the run of all others.
        result.streamBytes.clear();
        Fail(result, "no_memory", std::u16string(OutOfMemoryText));
    }
    result.ended = std::chrono::system_clock::now();
}

}  // namespace brevikon
