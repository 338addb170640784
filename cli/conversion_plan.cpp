#include "cli/conversion_plan.h"

#include <filesystem>
#include <system_error>
#include <unordered_map>
#include <unordered_set>

#include "app/path_names.h"
#include "base/text.h"
#include "cli/folder_walk.h"

namespace brevikon {

namespace {

namespace fs = std::filesystem;

NativeString FromAscii(const char* ascii) {
    NativeString text;
    while (*ascii)
        text += static_cast<NativeString::value_type>(*ascii++);
    return text;
}

bool IsSeparator(NativeString::value_type c) {
    return c == '/' || c == '\\';
}

bool IsStandardOutput(const NativeString& path) {
    return path.size() == 1 && path[0] == '-';
}

// The viewer's default save name: folder and name of FILE with the format's extension; with
// -d the folder is DIR, followed by the file's subfolder below a walked folder.
NativeString DefaultOutputPath(const ConverterOptions& options, const NativeString& file,
                               const NativeString& subfolder) {
    using View = std::basic_string_view<NativeString::value_type>;
    const NativeString extension = FromAscii(FormatExtension(options.format));
    const NativeString stem = FileNamePart(View(file), true);
    if (options.outputDir) {
        NativeString folder = *options.outputDir;
        if (!folder.empty() && !IsSeparator(folder.back())) folder += '/';
        return folder + subfolder + stem + extension;
    }
    return DirectoryPart(View(file)) + stem + extension;
}

// Two spellings of one path give one key: made absolute and normalised, and on Windows,
// whose file names ignore case, folded to lower case.
class PathKeys {
  public:
    PathKeys() {
        std::error_code error;
        folder_ = fs::current_path(error);
    }

    NativeString Key(const NativeString& path) const {
        fs::path full(path);
        if (full.is_relative()) full = folder_ / full;
        NativeString key = full.lexically_normal().native();
#ifdef _WIN32
        for (auto& c : key) {
            if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
            if (c == L'/') c = L'\\';
        }
#endif
        return key;
    }

  private:
    fs::path folder_;
};

void AddJob(const ConverterOptions& options, const NativeString& input,
            const NativeString& subfolder, bool reportToStream, std::vector<ConversionJob>& jobs) {
    ConversionJob job;
    job.input = input;
    if (reportToStream || (options.output && IsStandardOutput(*options.output))) {
        job.toStream = true;
    } else if (options.output) {
        job.target = *options.output;
    } else {
        job.target = DefaultOutputPath(options, input, subfolder);
        job.mirrored = options.outputDir && !subfolder.empty();
    }
    jobs.push_back(std::move(job));
}

void RefuseCollisions(std::vector<ConversionJob>& jobs) {
    const PathKeys keys;
    std::unordered_set<NativeString> inputs;
    for (const ConversionJob& job : jobs) {
        if (job.refusal.empty()) inputs.insert(keys.Key(job.input));
    }
    struct Writer {
        std::size_t job;
        NativeString inputKey;
    };
    std::unordered_map<NativeString, Writer> writers;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        ConversionJob& job = jobs[i];
        if (!job.refusal.empty() || job.toStream) continue;
        const NativeString targetKey = keys.Key(job.target);
        if (inputs.count(targetKey)) {
            job.refusal =
                u"Die Eingabedatei kann nicht ueberschrieben werden: " + NativeToUtf16(job.target);
            continue;
        }
        const NativeString inputKey = keys.Key(job.input);
        const auto [earlier, added] = writers.try_emplace(targetKey, Writer{i, inputKey});
        if (added) continue;
        if (earlier->second.inputKey == inputKey) {
            job.repeated = true;
        } else {
            job.refusal = u"Die Ausgabedatei entsteht in diesem Lauf schon aus " +
                          NativeToUtf16(jobs[earlier->second.job].input) + u": " +
                          NativeToUtf16(job.target);
        }
    }
}

}  // namespace

std::vector<ConversionJob> PlanConversion(const ConverterOptions& options) {
    // Reports without -o or -d are read, not stored: they go to standard output.
    const bool reportToStream =
        options.format == OutputFormat::Report && !options.output && !options.outputDir;

    WalkRules rules;
    // What any run of ours wrote, not only one in this format: a tree converted to text
    // first and to HTML next must not get HTML pages of its text files.
    for (const char* ending : OutputEndings())
        rules.skippedEndings.push_back(AsciiText(ending));
    for (const NativeString& pattern : options.patterns)
        rules.patterns.push_back(NativeToUtf16(pattern));
    rules.outputDir = options.outputDir;

    std::vector<ConversionJob> jobs;
    std::vector<FoundFile> found;
    for (const NativeString& file : options.files) {
        if (!options.recursive || QueryPathKind(file) != PathKind::Directory) {
            AddJob(options, file, {}, reportToStream, jobs);
            continue;
        }
        found.clear();
        WalkFolder(file, rules, found);
        for (const FoundFile& entry : found) {
            if (!entry.failure.empty()) {
                ConversionJob refused;
                refused.input = entry.path;
                refused.refusal = entry.failure;
                jobs.push_back(std::move(refused));
            } else {
                AddJob(options, entry.path, entry.subfolder, reportToStream, jobs);
            }
        }
    }
    RefuseCollisions(jobs);
    return jobs;
}

}  // namespace brevikon
