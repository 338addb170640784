#include "cli/verify_manifest.h"

#include <chrono>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "base/text.h"
#include "cli/run_manifest.h"
#include "files/file_store.h"
#include "fixity/file_hash.h"

namespace brevikon {

namespace {

// A manifest of 10,000 files is some 20 MB; this leaves room for far larger runs.
constexpr std::int64_t MaxManifestSize = std::int64_t{1} << 30;

enum class Found { Unchanged, Missing, Changed, Unreadable };

struct CheckCounts {
    std::int64_t unchanged = 0, missing = 0, changed = 0, unreadable = 0;
};

// Why a file the manifest names could not be hashed.
std::u16string HashFailureText(const FileHash& hash) {
    if (hash.hashFailed) return u"SHA-256 des Systems nicht verfuegbar";
    switch (hash.read.status) {
        case ReadStatus::Directory:
            return u"ein Ordner";
        case ReadStatus::NotRegular:
            return u"keine gewoehnliche Datei";
        case ReadStatus::OutOfMemory:
            return u"zu wenig Speicher";
        case ReadStatus::ShortRead:
            if (hash.read.systemError == 0) return u"sie wurde beim Lesen kuerzer";
            [[fallthrough]];
        default:
            return SystemErrorText(hash.read.systemError);
    }
}

void WriteLine(std::FILE* stream, std::u16string_view line) {
    const std::string utf8 = Utf16ToUtf8(line) + "\n";
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    std::fflush(stream);
}

class Verifier {
  public:
    Verifier(const ConverterOptions& options, std::FILE* err, ManifestSink* record)
        : options_(options), err_(err), record_(record) {}

    // One file the manifest names, with what it recorded.
    void Check(const NativeString& path, std::string_view role, const std::string& expected) {
        const FileHash hash = HashFile(path, ProcessHeap());
        Found found = Found::Unchanged;
        std::u16string what;
        if (hash.read.status == ReadStatus::Missing) {
            found = Found::Missing;
            what = u"fehlt";
        } else if (!hash.ok()) {
            found = Found::Unreadable;
            what = u"kann nicht gelesen werden (" + HashFailureText(hash) + u")";
        } else if (hash.sha256 != expected) {
            found = Found::Changed;
            what = u"ist veraendert (SHA-256 " + AsciiText(hash.sha256) + u" statt " +
                   AsciiText(expected) + u")";
        }
        const bool verbose = options_.verbose && !options_.quiet;
        if (found != Found::Unchanged) {
            WriteLine(err_, u"brevikon-rtf: " + PathForMessage(path) + u": " + what);
        } else if (verbose) {
            WriteLine(err_, PathForMessage(path) + u": unveraendert");
        }
        switch (found) {
            case Found::Unchanged:
                ++counts_.unchanged;
                break;
            case Found::Missing:
                ++counts_.missing;
                break;
            case Found::Changed:
                ++counts_.changed;
                break;
            case Found::Unreadable:
                ++counts_.unreadable;
                break;
        }
        if (record_) {
            static constexpr const char* Names[] = {"unchanged", "missing", "changed",
                                                    "unreadable"};
            JsonLine line;
            line.Key("record").String("verify").Key("role").String(role);
            AddPathFields(line, "path", path);
            line.Key("status").String(Names[static_cast<int>(found)]);
            line.Key("expected_sha256").String(ValidUtf8(expected));
            if (hash.ok()) {
                line.Key("found_sha256").String(hash.sha256);
                line.Key("size").Number(hash.read.length);
            }
            line.Key("checked").String(UtcText(std::chrono::system_clock::now()));
            record_->Write(line.Finish());
        }
    }

    // A line that is no record of ours, or a record without what a check needs.
    void Malformed(std::size_t lineNumber) {
        ++malformed_;
        WriteLine(err_, u"brevikon-rtf: " + PathForMessage(*options_.verify) + u": Zeile " +
                            DecimalText(static_cast<std::int64_t>(lineNumber)) +
                            u" ist kein lesbarer Eintrag des Protokolls");
    }

    void CheckRecord(const nlohmann::json& record, std::size_t lineNumber) {
        if (!record.is_object() || !record.contains("record")) return Malformed(lineNumber);
        if (record["record"] != "file") return;  // summaries and earlier checks
        const auto input = record.find("input");
        if (input == record.end() || !input->is_object()) return Malformed(lineNumber);
        if (input->contains("sha256")) {
            const std::optional<NativeString> path = PathFromFields(*input, "path");
            if (!path || !(*input)["sha256"].is_string()) return Malformed(lineNumber);
            Check(*path, "input", (*input)["sha256"].get<std::string>());
        }
        const auto outputs = record.find("outputs");
        if (outputs == record.end()) return;
        if (!outputs->is_array()) return Malformed(lineNumber);
        for (const auto& output : *outputs) {
            if (!output.is_object()) return Malformed(lineNumber);
            if (output.value("path", std::string()) == "-") continue;  // went to a stream
            const std::optional<NativeString> path = PathFromFields(output, "path");
            const auto sha256 = output.find("sha256");
            if (!path || sha256 == output.end() || !sha256->is_string())
                return Malformed(lineNumber);
            Check(*path, "output", sha256->get<std::string>());
        }
    }

    const CheckCounts& counts() const { return counts_; }
    std::int64_t malformed() const { return malformed_; }

  private:
    const ConverterOptions& options_;
    std::FILE* err_;
    ManifestSink* record_;
    CheckCounts counts_;
    std::int64_t malformed_ = 0;
};

}  // namespace

int VerifyManifest(const ConverterOptions& options, std::FILE* out, std::FILE* err) {
    const auto started = std::chrono::system_clock::now();
    HeapBlock image;
    const ReadResult read =
        SystemFiles().Read(*options.verify, MaxManifestSize, ProcessHeap(), image);
    if (read.status != ReadStatus::Ok && read.status != ReadStatus::Empty) {
        WriteLine(err, u"brevikon-rtf: " + PathForMessage(*options.verify) +
                           u": Das Protokoll kann nicht gelesen werden" +
                           (read.systemError ? u" (" + SystemErrorText(read.systemError) + u")"
                                             : std::u16string()) +
                           u".");
        return 1;
    }
    std::optional<ManifestSink> record;
    if (options.manifest) {
        std::u16string failure;
        if (!record.emplace().Open(*options.manifest, out, failure)) {
            WriteLine(err, u"brevikon-rtf: " + failure);
            return 1;
        }
    }
    Verifier verifier(options, err, record ? &*record : nullptr);
    const std::string_view text(reinterpret_cast<const char*>(image.data()),
                                static_cast<std::size_t>(read.length));
    std::size_t lineNumber = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        ++lineNumber;
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (line.empty()) continue;
        const nlohmann::json parsed = nlohmann::json::parse(line, nullptr, false);
        if (parsed.is_discarded()) {
            verifier.Malformed(lineNumber);
        } else {
            verifier.CheckRecord(parsed, lineNumber);
        }
    }
    const CheckCounts& counts = verifier.counts();
    if (!options.quiet) {
        const std::string line = "Geprueft: " + std::to_string(counts.unchanged) +
                                 " unveraendert, " + std::to_string(counts.changed) +
                                 " veraendert, " + std::to_string(counts.missing) + " fehlen, " +
                                 std::to_string(counts.unreadable) + " nicht lesbar\n";
        std::fputs(line.c_str(), err);
        std::fflush(err);
    }
    bool recordLost = false;
    if (record) {
        JsonLine summary;
        summary.Key("record").String("verify_summary");
        summary.Key("unchanged").Number(counts.unchanged);
        summary.Key("changed").Number(counts.changed);
        summary.Key("missing").Number(counts.missing);
        summary.Key("unreadable").Number(counts.unreadable);
        summary.Key("malformed_lines").Number(verifier.malformed());
        summary.Key("started").String(UtcText(started));
        summary.Key("ended").String(UtcText(std::chrono::system_clock::now()));
        record->Write(summary.Finish());
        if (!record->failure().empty()) {
            WriteLine(err, u"brevikon-rtf: " + record->failure());
            recordLost = true;
        }
    }
    const bool allThere = counts.changed == 0 && counts.missing == 0 && counts.unreadable == 0 &&
                          verifier.malformed() == 0;
    return allThere && !recordLost ? 0 : 1;
}

}  // namespace brevikon
