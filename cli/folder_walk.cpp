#include "cli/folder_walk.h"

#include <algorithm>

#include "cli/name_pattern.h"

namespace brevikon {

namespace {

#ifdef _WIN32
constexpr NativeString::value_type PathSeparator = L'\\';
#else
constexpr NativeString::value_type PathSeparator = '/';
#endif

constexpr std::u16string_view FolderNotRead = u"Der Ordner konnte nicht gelesen werden: ";

bool EndsWithSeparator(const NativeString& path) {
    return !path.empty() && (path.back() == '/' || path.back() == '\\');
}

NativeString Join(const NativeString& folder, const NativeString& name) {
    return EndsWithSeparator(folder) ? folder + name : folder + PathSeparator + name;
}

class FolderWalker {
  public:
    FolderWalker(const WalkRules& rules, std::vector<FoundFile>& found)
        : rules_(rules), found_(found) {}

    void WalkRoot(const NativeString& folder) {
        // Looked at, then opened and checked to be what was looked at.
        const std::optional<FileIdentity> identity = IdentifyFile(folder);
        FolderResult root = OpenFolder(folder, identity);
        if (!identity || !root.folder.open()) {
            Fail(folder, {}, FolderNotRead, root);
            return;
        }
        realRoot_ = RealFolderPath(root.folder);
        Walk(root.folder, folder, {}, *identity);
    }

  private:
    void Walk(const FolderHandle& handle, const NativeString& folder, const NativeString& subfolder,
              const FileIdentity& identity) {
        std::vector<FolderEntry> entries;
        int error = 0;
        if (!ListFolder(handle, entries, error)) {
            found_.push_back({folder,
                              subfolder,
                              {},
                              identity,
                              std::u16string(FolderNotRead) + SystemErrorText(error),
                              {},
                              {}});
        }
        std::sort(entries.begin(), entries.end(),
                  [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
        for (const FolderEntry& entry : entries) {
            if (IsTemporaryName(entry.name) || IsLeftOut(entry)) continue;
            const NativeString path = Join(folder, entry.name);
            switch (entry.kind) {
                case FolderEntry::Kind::Folder: {
                    if (rules_.outputDir && entry.identity == *rules_.outputDir) break;
                    const FolderResult inner = OpenSubfolder(handle, entry.name, false);
                    if (!inner.folder.open()) {
                        Fail(path, subfolder, FolderNotRead, inner);
                    } else {
                        Walk(inner.folder, path, subfolder + entry.name + PathSeparator,
                             entry.identity);
                    }
                    break;
                }
                case FolderEntry::Kind::File:
                case FolderEntry::Kind::LinkToFile: {
                    const bool link = entry.kind == FolderEntry::Kind::LinkToFile;
                    FoundFile file{path, subfolder, {entry.identity, link}, identity, {}, {}, {}};
                    if (IsEarlierOutput(entry.name)) {
                        Skip(file, SkipEarlierOutput, u"Ausgabe eines frueheren Laufs");
                    } else if (link && !LiesInside(entry.realPath)) {
                        Skip(file, SkipLinkOutside,
                             u"Verknuepfung auf eine Datei ausserhalb des Ordners");
                    } else if (!Matches(entry.name)) {
                        Skip(file, SkipNotMatched, u"passt auf kein Muster von --match");
                    }
                    found_.push_back(std::move(file));
                    break;
                }
                case FolderEntry::Kind::Unreadable:
                    if (IsEarlierOutput(entry.name)) {
                        FoundFile file{path, subfolder, {}, identity, {}, {}, {}};
                        Skip(file, SkipEarlierOutput, u"Ausgabe eines frueheren Laufs");
                        found_.push_back(std::move(file));
                    } else {
                        found_.push_back({path,
                                          subfolder,
                                          {},
                                          identity,
                                          u"Der Eintrag konnte nicht untersucht werden: " +
                                              SystemErrorText(entry.systemError),
                                          {},
                                          {}});
                    }
                    break;
                case FolderEntry::Kind::Other: {
                    FoundFile file{path, subfolder, {}, identity, {}, {}, {}};
                    Skip(file, SkipNotRegular,
                         u"keine gewoehnliche Datei (Geraet, Pipe oder Verknuepfung, die nicht "
                         u"verfolgt wird)");
                    found_.push_back(std::move(file));
                    break;
                }
            }
        }
    }

    void Fail(const NativeString& path, const NativeString& subfolder, std::u16string_view text,
              const FolderResult& result) {
        std::u16string failure(text);
        failure += result.changed
                       ? u"eine Verknuepfung oder ein anderer Ordner, wird nicht verfolgt"
                       : SystemErrorText(result.systemError);
        found_.push_back({path, subfolder, {}, {}, failure, {}, {}});
    }

    bool IsEarlierOutput(const NativeString& name) const {
        const std::u16string name16 = NativeToUtf16(name);
        return std::any_of(
            rules_.skippedEndings.begin(), rules_.skippedEndings.end(),
            [&](const std::u16string& ending) { return EndsWithName(name16, ending); });
    }

    bool IsLeftOut(const FolderEntry& entry) const {
        return entry.kind == FolderEntry::Kind::File &&
               std::find(rules_.leftOut.begin(), rules_.leftOut.end(), entry.identity) !=
                   rules_.leftOut.end();
    }

    static void Skip(FoundFile& file, std::string_view code, std::u16string_view reason) {
        file.skipCode = code;
        file.skipReason = reason;
    }

    bool Matches(const NativeString& name) const {
        if (rules_.patterns.empty()) return true;
        const std::u16string name16 = NativeToUtf16(name);
        return std::any_of(
            rules_.patterns.begin(), rules_.patterns.end(),
            [&](const std::u16string& pattern) { return MatchesNamePattern(pattern, name16); });
    }

    // A link's target counts only when it lies below the walked folder itself.
    bool LiesInside(const NativeString& target) const {
        const NativeString& root = realRoot_;
        if (root.empty() || target.size() <= root.size() ||
            target.compare(0, root.size(), root) != 0) {
            return false;
        }
        return EndsWithSeparator(root) || target[root.size()] == '/' || target[root.size()] == '\\';
    }

    const WalkRules& rules_;
    std::vector<FoundFile>& found_;
    NativeString realRoot_;
};

}  // namespace

void WalkFolder(const NativeString& folder, const WalkRules& rules, std::vector<FoundFile>& found) {
    FolderWalker(rules, found).WalkRoot(folder);
}

}  // namespace brevikon
