#include "cli/conversion_plan.h"

#include <filesystem>
#include <system_error>
#include <unordered_map>
#include <unordered_set>

#include "base/text.h"
#include "cli/folder_walk.h"
#include "document/path_names.h"

namespace brevikon {

NativeString TargetFolderPart(const NativeString& target) {
#ifdef _WIN32
    const std::size_t last = target.find_last_of(L"\\/:");
#else
    const std::size_t last = target.find_last_of('/');
#endif
    return last == NativeString::npos ? NativeString() : target.substr(0, last + 1);
}

std::u16string InputNotReplacedText(const NativeString& target) {
    return u"Die Eingabedatei kann nicht ueberschrieben werden: " + PathForMessage(target);
}

namespace {

namespace fs = std::filesystem;

NativeString FromAscii(std::string_view ascii) {
    return NativeString(ascii.begin(), ascii.end());
}

#ifdef _WIN32
constexpr const wchar_t* PathSeparators = L"\\/";
#else
constexpr const char* PathSeparators = "/";
#endif

bool IsSeparator(NativeString::value_type c) {
    return c == '/' || c == '\\';
}

// The viewer's default save name: folder and name of FILE with the format's extension; with
// -d the folder is DIR, followed by the file's subfolder below a walked folder.
// With --keep-extension the file's own extension stays before the form's.
NativeString DefaultOutputPath(const ConverterOptions& options, OutputFormat format,
                               const NativeString& file, const NativeString& subfolder) {
    using View = std::basic_string_view<NativeString::value_type>;
    const NativeString extension = FromAscii(FormOf(format).extension);
    const NativeString stem = FileNamePart(View(file), !options.keepExtension);
    if (options.outputDir) {
        NativeString folder = *options.outputDir;
        if (!folder.empty() && !IsSeparator(folder.back())) folder += PathSeparators[0];
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
        folderText_ = folder_.native();
        if (!folderText_.empty() && folderText_.back() != '/') folderText_ += '/';
    }

    NativeString Key(const NativeString& path) const {
#ifndef _WIN32
        // The names a run makes are normal already, and the general normalisation cost more
        // than all the rest of a file's plan: such a name is only joined to the folder.
        if (IsNormal(path)) return path.front() == '/' ? path : folderText_ + path;
#endif
        fs::path full(path);
        if (full.is_relative()) full = folder_ / full;
        return Folded(full.lexically_normal().native());
    }

    // A path that normalisation leaves as it is: no empty name between two separators, no
    // "." and no "..".
    static bool IsNormal(const NativeString& path) {
        if (path.empty()) return false;
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = path.find('/', start);
            const std::size_t length = (end == NativeString::npos ? path.size() : end) - start;
            const bool dots = (length == 1 && path[start] == '.') ||
                              (length == 2 && path[start] == '.' && path[start + 1] == '.');
            if (dots || (length == 0 && start > 0 && end != NativeString::npos)) return false;
            if (end == NativeString::npos) return true;
            start = end + 1;
        }
    }

    static NativeString Folded(NativeString key) {
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
    NativeString folderText_;  // folder_ with a separator after it (empty when unknown)
};

NativeString IdentityKey(const FileIdentity& identity) {
    const std::string text = std::to_string(identity.device) + ":" + std::to_string(identity.index);
    return NativeString(text.begin(), text.end());
}

// Files are compared by what they are, not by how they are spelled: the same file reached
// through a linked folder or a hard link is the same file.
NativeString InputKey(const PathKeys& keys, const ConversionJob& job) {
    if (job.expected) return IdentityKey(job.expected->identity);
    if (const auto identity = IdentifyFile(job.input)) return IdentityKey(*identity);
    return keys.Key(job.input);
}

void AddJob(const ConverterOptions& options, const FoundFile& file, bool walked,
            std::vector<ConversionJob>& jobs) {
    ConversionJob& job = jobs.emplace_back();
    job.input = file.path;
    job.walked = walked;
    if (walked) {
        // The name as the walk joined it, whatever characters it holds.
        const std::size_t name = file.path.find_last_of(PathSeparators) + 1;
        job.belowFolder = file.subfolder + file.path.substr(name);
        job.expected = file.expected;
        if (!options.outputDir) job.inputFolder = file.folder;
    }
    job.toStream = OutputGoesToStream(options);
    job.namedByUser = options.output && !job.toStream;
    for (const OutputFormat format : options.formats) {
        JobOutput& output = job.outputs.emplace_back();
        output.format = format;
        if (job.namedByUser) {
            output.target = *options.output;
        } else if (!job.toStream) {
            output.target = DefaultOutputPath(options, format, file.path, file.subfolder);
        }
    }
    if (options.outputDir && !job.toStream) job.mirroredFolders = file.subfolder;
}

// What is at an output's name now. A name in a folder that does not exist is nothing: one
// look-up per such folder instead of one per name, as a new tree of outputs has thousands.
class TargetLookup {
  public:
    std::optional<FileIdentity> Identify(const NativeString& target) {
        const NativeString folder = TargetFolderPart(target);
        if (!folder.empty()) {
            const auto [known, added] = missingFolders_.try_emplace(folder, false);
            if (added) {
                std::error_code error;
                static_cast<void>(fs::status(fs::path(folder), error));
                known->second = error == std::errc::no_such_file_or_directory;
            }
            if (known->second) return std::nullopt;
        }
        return IdentifyFile(target);
    }

    // The identity of an existing folder, looked up once: the outputs of a folder's thousands
    // of files all go into the same one.
    const std::optional<FileIdentity>& Folder(const NativeString& folder) {
        const auto [known, added] = folders_.try_emplace(folder);
        if (added) known->second = IdentifyFile(folder.empty() ? FromAscii(".") : folder);
        return known->second;
    }

  private:
    std::unordered_map<NativeString, bool> missingFolders_;
    std::unordered_map<NativeString, std::optional<FileIdentity>> folders_;
};

// An output is a name in a folder: the folder by identity where it exists already, else the
// output's path key.
NativeString TargetKey(NativeString pathKey, const ConversionJob& job, const JobOutput& output,
                       TargetLookup& lookup) {
    const NativeString folder = TargetFolderPart(output.target);
    std::optional<FileIdentity> identity = job.inputFolder;
    if (!identity && job.mirroredFolders.empty()) identity = lookup.Folder(folder);
    if (!identity) return pathKey;
    NativeString key = IdentityKey(*identity);
    key += '/';
    return key + PathKeys::Folded(output.target.substr(folder.size()));
}

// Refuses job for writing target: a name collision in the manifest's words.
void Refuse(ConversionJob& job, std::u16string text) {
    job.refusal = std::move(text);
    job.refusalCode = "name_collision";
}

void RefuseCollisions(std::vector<ConversionJob>& jobs,
                      const std::vector<FileIdentity>& protectedFiles) {
    const PathKeys keys;
    std::unordered_set<NativeString> inputs;
    std::vector<NativeString> inputKeys(jobs.size());
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        if (!jobs[i].refusal.empty() || !jobs[i].skipCode.empty()) continue;
        inputKeys[i] = InputKey(keys, jobs[i]);
        inputs.insert(inputKeys[i]);
    }
    std::unordered_set<NativeString> kept;
    for (const FileIdentity& identity : protectedFiles)
        kept.insert(IdentityKey(identity));
    struct Writer {
        std::size_t job;
        NativeString inputKey;
    };
    std::unordered_map<NativeString, Writer> writers;
    TargetLookup lookup;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        ConversionJob& job = jobs[i];
        if (!job.refusal.empty() || !job.skipCode.empty() || job.toStream) continue;
        for (JobOutput& output : job.outputs) {
            // The target is an input already, by its name, a link or a hard link.
            const std::optional<FileIdentity> existing = lookup.Identify(output.target);
            NativeString pathKey = keys.Key(output.target);
            if (inputs.count(pathKey) || (existing && inputs.count(IdentityKey(*existing)))) {
                Refuse(job, InputNotReplacedText(output.target));
                break;
            }
            if (existing && kept.count(IdentityKey(*existing))) {
                Refuse(job, u"Das Protokoll dieses Laufs wird nicht ueberschrieben: " +
                                PathForMessage(output.target));
                break;
            }
            const auto [earlier, added] = writers.try_emplace(
                TargetKey(std::move(pathKey), job, output, lookup), Writer{i, inputKeys[i]});
            if (added) continue;
            if (earlier->second.inputKey == inputKeys[i]) {
                output.repeated = true;
            } else {
                Refuse(job, u"Die Ausgabedatei entsteht in diesem Lauf schon aus " +
                                PathForMessage(jobs[earlier->second.job].input) + u": " +
                                PathForMessage(output.target));
                break;
            }
        }
    }
}

}  // namespace

std::vector<ConversionJob> PlanConversion(const ConverterOptions& options,
                                          const std::vector<FileIdentity>& protectedFiles) {
    WalkRules rules;
    // What any run of ours wrote, not only one in this format: a tree converted to text
    // first and to HTML next must not get HTML pages of its text files.
    for (const std::string_view ending : OutputEndings())
        rules.skippedEndings.push_back(AsciiText(ending));
    for (const NativeString& pattern : options.patterns)
        rules.patterns.push_back(NativeToUtf16(pattern));
    rules.leftOut = protectedFiles;

    if (options.outputDir) rules.outputDir = IdentifyFile(*options.outputDir);

    std::vector<ConversionJob> jobs;
    std::vector<FoundFile> found;
    for (const NativeString& file : options.files) {
        if (!options.recursive || QueryPathKind(file) != PathKind::Directory) {
            FoundFile given;
            given.path = file;
            AddJob(options, given, false, jobs);
            continue;
        }
        found.clear();
        WalkFolder(file, rules, found);
        for (const FoundFile& entry : found) {
            if (!entry.failure.empty()) {
                ConversionJob& refused = jobs.emplace_back();
                refused.input = entry.path;
                refused.walked = true;
                refused.refusal = entry.failure;
                refused.refusalCode = "unreadable_entry";
            } else {
                AddJob(options, entry, true, jobs);
                if (!entry.skipCode.empty()) {
                    jobs.back().skipCode = entry.skipCode;
                    jobs.back().skipReason = entry.skipReason;
                }
            }
        }
    }
    RefuseCollisions(jobs, protectedFiles);
    return jobs;
}

}  // namespace brevikon
