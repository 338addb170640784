#include "cli/convert_job.h"

#include <filesystem>
#include <mutex>
#include <new>
#include <system_error>

#include "app/message_texts.h"
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
        case ReadStatus::OpenFailed:
        default:
            return WithDetail(FileNotOpenedText, SystemErrorText(read.systemError));
    }
}

void Fail(JobResult& result, std::u16string message) {
    result.failed = true;
    result.message = std::move(message);
}

void Convert(const ConversionJob& job, const ConverterOptions& options, DocumentOutput& output,
             JobResult& result) {
    if (!job.refusal.empty()) return Fail(result, job.refusal);
    // Refused before anything is read: the input document is never overwritten.
    if (!job.toStream && IsSameFile(job.input, job.target)) {
        return Fail(result, u"Die Eingabedatei kann nicht ueberschrieben werden: " +
                                NativeToUtf16(job.target));
    }
    ReadResult read = ReadWholeFile(job.input, MaxDocumentSize, ProcessHeap());
    if (read.status != ReadStatus::Ok) return Fail(result, ReadFailureText(read));
    result.inputBytes = read.length;
    if (!output.Produce(options.format, options.fontMode, read.image.data(), read.length,
                        NativeToUtf16(job.input))) {
        return Fail(result, std::u16string(OutOfMemoryText));
    }
    read.image.Release();
    if (job.toStream) {
        result.streamBytes.assign(output.bytes());
    } else if (!job.repeated) {
        if (job.mirrored) {
            // Workers creating the same folders at once make create_directories fail now and
            // then, so one worker at a time makes them. A failure here shows as the write's
            // own error just below.
            static std::mutex folderCreation;
            const std::lock_guard<std::mutex> lock(folderCreation);
            std::error_code ignored;
            std::filesystem::create_directories(std::filesystem::path(job.target).parent_path(),
                                                ignored);
        }
        const WriteResult written = WriteFileReplacing(job.target, output.bytes());
        if (!written.ok) {
            return Fail(result, WithDetail(FileNotWrittenText,
                                           NativeToUtf16(job.target) + u" (" +
                                               SystemErrorText(written.systemError) + u")"));
        }
    }
    result.statusLine = output.statusLine();
}

}  // namespace

void ConvertJob(const ConversionJob& job, const ConverterOptions& options, DocumentOutput& output,
                JobResult& result) {
    try {
        Convert(job, options, output, result);
    } catch (const std::bad_alloc&) {
        // One file too large for what is left must not end the run of all others.
        result.streamBytes.clear();
        Fail(result, std::u16string(OutOfMemoryText));
    }
}

}  // namespace brevikon
