#include "cli/converter.h"

#include <filesystem>
#include <string>

#include "app/path_names.h"
#include "base/text.h"
#include "base/version.h"
#include "cli/document_output.h"
#include "format/document_format.h"

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

std::u16string ReadFailureText(const ReadResult& read) {
    switch (read.status) {
        case ReadStatus::Missing:
            return u"Die Datei wurde nicht gefunden.";
        case ReadStatus::Directory:
            return u"Das ist ein Ordner, keine Datei.";
        case ReadStatus::NotRegular:
            return u"Das ist keine gewoehnliche Datei und wird nicht gelesen.";
        case ReadStatus::Empty:
            return u"Die Datei ist leer.";
        case ReadStatus::TooLarge:
            return u"Die Datei ist groesser als 32 MB und wird nicht geladen.";
        case ReadStatus::OutOfMemory:
            return u"Zu wenig Speicher.";
        case ReadStatus::ShortRead:
            return u"Die Datei konnte nicht geoeffnet werden: sie war kuerzer als angegeben.";
        case ReadStatus::OpenFailed:
        default:
            return u"Die Datei konnte nicht geoeffnet werden: " + SystemErrorText(read.systemError);
    }
}

NativeString FromAscii(const char* ascii) {
    NativeString text;
    while (*ascii)
        text += static_cast<NativeString::value_type>(*ascii++);
    return text;
}

bool IsSeparator(NativeString::value_type c) {
    return c == '/' || c == '\\';
}

// The viewer's default save name: folder and name of FILE with the format's extension.
NativeString DefaultOutputPath(const ConverterOptions& options, const NativeString& file) {
    using View = std::basic_string_view<NativeString::value_type>;
    const NativeString extension = FromAscii(FormatExtension(options.format));
    const NativeString stem = FileNamePart(View(file), true);
    if (options.outputDir) {
        NativeString folder = *options.outputDir;
        if (!folder.empty() && !IsSeparator(folder.back())) folder += '/';
        return folder + stem + extension;
    }
    return DirectoryPart(View(file)) + stem + extension;
}

bool IsStandardOutput(const NativeString& path) {
    return path.size() == 1 && path[0] == '-';
}

bool WriteToStream(std::FILE* stream, std::string_view bytes) {
    const std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), stream);
    const bool flushed = std::fflush(stream) == 0;
    return written == bytes.size() && flushed && !std::ferror(stream);
}

}  // namespace

int RunConverter(const ConverterOptions& options, std::FILE* out, std::FILE* err) {
    if (options.outputDir) {
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(*options.outputDir), error);
    }
    // Reports without -o or -d are read, not stored: they go to standard output.
    const bool reportToStream =
        options.format == OutputFormat::Report && !options.output && !options.outputDir;

    DocumentOutput output;
    int failed = 0;
    for (const NativeString& file : options.files) {
        const NativeString target = reportToStream   ? FromAscii("-")
                                    : options.output ? *options.output
                                                     : DefaultOutputPath(options, file);
        const bool toStream = IsStandardOutput(target);
        // Refused before anything is read: the input document is never overwritten.
        if (!toStream && IsSameFile(file, target)) {
            ReportFailure(
                err, file,
                u"Die Eingabedatei kann nicht ueberschrieben werden: " + NativeToUtf16(target));
            ++failed;
            continue;
        }
        ReadResult read = ReadWholeFile(file, MaxDocumentSize, ProcessHeap());
        if (read.status != ReadStatus::Ok) {
            ReportFailure(err, file, ReadFailureText(read));
            ++failed;
            continue;
        }
        if (!output.Produce(options.format, options.fontMode, read.image.data(), read.length,
                            NativeToUtf16(file))) {
            ReportFailure(err, file, u"Zu wenig Speicher.");
            ++failed;
            continue;
        }
        read.image.Release();
        if (toStream) {
            if (!WriteToStream(out, output.bytes())) {
                ReportFailure(err, file,
                              u"Die Datei konnte nicht geschrieben werden: Standardausgabe");
                ++failed;
                continue;
            }
        } else {
            const WriteResult written = WriteFileReplacing(target, output.bytes());
            if (!written.ok) {
                ReportFailure(err, file,
                              u"Die Datei konnte nicht geschrieben werden: " +
                                  NativeToUtf16(target) + u" (" +
                                  SystemErrorText(written.systemError) + u")");
                ++failed;
                continue;
            }
        }
        if (options.verbose && !options.quiet) WriteLine(err, output.statusLine());
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
