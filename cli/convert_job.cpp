#include "cli/convert_job.h"

#include <new>

#include "document/message_texts.h"
#include "document/path_names.h"
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

std::u16string ReadFailureText(const ReadResult& read) {
    switch (read.status) {
        case ReadStatus::Missing:
            return u"Die Datei wurde nicht gefunden.";
        case ReadStatus::Directory:
            return u"Das ist ein Ordner, keine Datei.";
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

void Fail(JobResult& result, std::u16string message) {
    result.failed = true;
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
                              std::u16string& failure) {
    if (job.mirroredFolders.empty()) {
        FolderResult folder = OpenFolder(TargetFolderPart(job.target), job.inputFolder);
        if (!folder.folder.open()) {
            failure = NotWrittenText(job.target, folder.changed
                                                     ? u"der Ordner ist nicht mehr der gefundene"
                                                     : SystemErrorText(folder.systemError));
        }
        return std::move(folder.folder);
    }
    FolderResult base = OpenFolder(*options.outputDir);
    if (!base.folder.open()) {
        failure = NotWrittenText(job.target, SystemErrorText(base.systemError));
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

// Writes a default-named output as a new regular file; false with the failure's text.
bool WriteDefaultOutput(const ConversionJob& job, const ConverterOptions& options,
                        const FileIdentity& input, std::string_view bytes,
                        std::u16string& failure) {
    const FolderHandle folder = OpenTargetFolder(job, options, failure);
    if (!folder.open()) return false;
    const NativeString name = job.target.substr(TargetFolderPart(job.target).size());
    const WriteResult written = WriteNewOutput(folder, name, bytes, input);
    if (written.ok) return true;
    if (written.isInput) {
        failure = InputNotReplacedText(job.target);
    } else if (written.notReplaced) {
        failure = NotWrittenText(job.target, u"keine gewoehnliche Datei, wird nicht ersetzt");
    } else {
        failure = NotWrittenText(job.target, SystemErrorText(written.systemError));
    }
    return false;
}

void Convert(const ConversionJob& job, const ConverterOptions& options, FileStore& files,
             DocumentOutput& output, JobResult& result) {
    // A target that is an input was refused when the run was planned (by identity, through
    // links and hard links too); WriteNewOutput refuses it again at the moment of writing.
    if (!job.refusal.empty()) return Fail(result, job.refusal);
    HeapBlock image;
    const ReadResult read = files.Read(job.input, MaxDocumentSize, ProcessHeap(), image,
                                       job.expected ? &*job.expected : nullptr);
    if (read.status != ReadStatus::Ok) return Fail(result, ReadFailureText(read));
    result.inputBytes = read.length;
    const std::u16string fileName = FileNamePart(NativeToUtf16(job.input), false);
    if (!output.Produce(options.format, {image.data(), read.length, options.fontMode, fileName})) {
        return Fail(result, std::u16string(OutOfMemoryText));
    }
    image.Release();
    if (job.toStream) {
        result.streamBytes.assign(output.bytes());
    } else if (job.repeated) {
        // Written by the earlier job of the same input and target.
    } else if (job.namedByUser) {
        const WriteResult written = files.Write(job.target, output.bytes());
        if (!written.ok) {
            return Fail(result, NotWrittenText(job.target, SystemErrorText(written.systemError)));
        }
    } else {
        std::u16string failure;
        if (!WriteDefaultOutput(job, options, read.identity, output.bytes(), failure)) {
            return Fail(result, std::move(failure));
        }
    }
    result.statusLine = output.statusLine();
}

}  // namespace

void ConvertJob(const ConversionJob& job, const ConverterOptions& options, FileStore& files,
                DocumentOutput& output, JobResult& result) {
    try {
        Convert(job, options, files, output, result);
    } catch (const std::bad_alloc&) {
        // One file too large for what is left must not end the run of all others.
        result.streamBytes.clear();
        Fail(result, std::u16string(OutOfMemoryText));
    }
}

}  // namespace brevikon
