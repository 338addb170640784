#include "cli/folder_walk.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "cli/name_pattern.h"

namespace brevikon {

namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr NativeString::value_type PathSeparator = L'\\';
#else
constexpr NativeString::value_type PathSeparator = '/';
#endif

bool EndsWithSeparator(const NativeString& path) {
    return !path.empty() && (path.back() == '/' || path.back() == '\\');
}

NativeString Join(const NativeString& folder, const NativeString& name) {
    return EndsWithSeparator(folder) ? folder + name : folder + PathSeparator + name;
}

class FolderWalker {
  public:
    FolderWalker(const NativeString& root, const WalkRules& rules, std::vector<FoundFile>& found)
        : rules_(rules), found_(found) {
        std::error_code error;
        canonicalRoot_ = fs::canonical(fs::path(root), error);
        if (error) canonicalRoot_.clear();
        for (const auto& ending : rules.skippedEndings)
            skippedPatterns_.push_back(u"*" + ending);
    }

    void Walk(const NativeString& folder, const NativeString& subfolder) {
        struct Entry {
            NativeString name;
            bool isFolder = false;
        };
        std::vector<Entry> entries;
        std::error_code error;
        fs::directory_iterator it(fs::path(folder), error);
        for (; !error && it != fs::directory_iterator(); it.increment(error)) {
            const fs::directory_entry& entry = *it;
            std::error_code ignored;
            const fs::file_status own = entry.symlink_status(ignored);
            if (fs::is_symlink(own)) {
                if (fs::is_regular_file(entry.status(ignored)) && LiesInside(entry.path())) {
                    entries.push_back({entry.path().filename().native(), false});
                }
            } else if (fs::is_directory(own)) {
                if (!IsOutputFolder(entry.path())) {
                    entries.push_back({entry.path().filename().native(), true});
                }
            } else if (fs::is_regular_file(own)) {
                entries.push_back({entry.path().filename().native(), false});
            }
        }
        if (error) {
            found_.push_back(
                {folder, subfolder,
                 u"Der Ordner konnte nicht gelesen werden: " + SystemErrorText(error.value())});
        }
        std::sort(entries.begin(), entries.end(),
                  [](const Entry& a, const Entry& b) { return a.name < b.name; });
        for (const Entry& entry : entries) {
            if (entry.isFolder) {
                Walk(Join(folder, entry.name), subfolder + entry.name + PathSeparator);
            } else if (Wanted(entry.name)) {
                found_.push_back({Join(folder, entry.name), subfolder, {}});
            }
        }
    }

  private:
    bool Wanted(const NativeString& name) const {
        const std::u16string name16 = NativeToUtf16(name);
        for (const auto& skipped : skippedPatterns_) {
            if (MatchesNamePattern(skipped, name16)) return false;
        }
        if (rules_.patterns.empty()) return true;
        return std::any_of(
            rules_.patterns.begin(), rules_.patterns.end(),
            [&](const std::u16string& pattern) { return MatchesNamePattern(pattern, name16); });
    }

    // A link's target counts only when it lies below the walked folder itself.
    bool LiesInside(const fs::path& link) const {
        if (canonicalRoot_.empty()) return false;
        std::error_code error;
        const NativeString target = fs::canonical(link, error).native();
        if (error) return false;
        const NativeString& root = canonicalRoot_.native();
        if (target.size() <= root.size() || target.compare(0, root.size(), root) != 0) {
            return false;
        }
        return EndsWithSeparator(root) || target[root.size()] == '/' || target[root.size()] == '\\';
    }

    bool IsOutputFolder(const fs::path& folder) const {
        if (!rules_.outputDir) return false;
        std::error_code error;
        return fs::equivalent(folder, fs::path(*rules_.outputDir), error) && !error;
    }

    const WalkRules& rules_;
    std::vector<FoundFile>& found_;
    fs::path canonicalRoot_;
    std::vector<std::u16string> skippedPatterns_;
};

}  // namespace

void WalkFolder(const NativeString& folder, const WalkRules& rules, std::vector<FoundFile>& found) {
    FolderWalker(folder, rules, found).Walk(folder, {});
}

}  // namespace brevikon
