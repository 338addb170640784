// The file-system side of the platform, on real files in a scratch folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/platform/platform.h"
#include "app/platform/win32/wide_text.h"
#include "app/platform/win32/win32_platform.h"
#include "base/text.h"
#include "files/file_access.h"
#include "files/file_store.h"
#include "files/handles_win32.h"

namespace brevikon {
namespace {

// Removes a scratch tree, also entries that only a \\?\ path reaches and read-only files,
// never what a link in it leads to.
void RemoveTree(const std::wstring& path) {
    const std::wstring raw = L"\\\\?\\" + path;
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW((raw + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring entry = raw + L"\\" + name;
            ::SetFileAttributesW(entry.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                // A link goes alone; what it leads to is not ours.
                if (!::RemoveDirectoryW(entry.c_str())) ::DeleteFileW(entry.c_str());
            } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path + L"\\" + name);
            } else {
                ::DeleteFileW(entry.c_str());
            }
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(raw.c_str());
}

class FilesTest : public testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        ASSERT_GT(::GetTempPathW(MAX_PATH, temp), 0u);
        folder_ = temp + (L"brevikon-win32-test-" + std::to_wstring(::GetCurrentProcessId()));
        // Wine gives the same process ids from run to run; a killed run leaves its tree.
        RemoveTree(folder_);
        ASSERT_TRUE(::CreateDirectoryW(folder_.c_str(), nullptr));
    }
    void TearDown() override { RemoveTree(folder_); }
    // Creates (or replaces) the file through the file store, which is under test too.
    std::wstring Make(const std::wstring& name, const std::string& bytes) {
        const std::wstring path = folder_ + L"\\" + name;
        EXPECT_TRUE(SystemFiles().Write(path, bytes).ok);
        return path;
    }
    // The whole file, read through the file store.
    std::string Contents(const std::wstring& path) {
        HeapBlock image;
        const ReadResult read = SystemFiles().Read(path, 1 << 20, ProcessHeap(), image);
        if (read.status == ReadStatus::Empty) return "";
        if (read.status != ReadStatus::Ok) return "<missing>";
        return std::string(reinterpret_cast<const char*>(image.data()), image.size());
    }
    // The names in the scratch folder (or one below it), in the listing's order.
    std::vector<std::wstring> Names(const std::wstring& sub = L"") {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found;
        const HANDLE search =
            ::FindFirstFileW((L"\\\\?\\" + folder_ + sub + L"\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            if (found.cFileName != std::wstring(L".") && found.cFileName != std::wstring(L".."))
                names.push_back(found.cFileName);
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
        std::sort(names.begin(), names.end());
        return names;
    }
    std::wstring folder_;
};

// Wine (8.0) makes no link: CreateSymbolicLinkW reports success and makes nothing, and
// FSCTL_SET_REPARSE_POINT fails. What the file functions decide on a link or a junction is
// therefore checked on the decisions themselves; everything else on real files below.
TEST(FileDecisions, LinksAreNeverTakenForWhatTheyLeadTo) {
    using namespace win32;
    const FileIdentity input{7, 42};
    const FileIdentity other{7, 43};
    auto opened = [](Holds kind, FileIdentity identity, DWORD attributes = 0) {
        return Opened{kind, attributes, identity, {}};
    };
    EXPECT_EQ(KindOf(FILE_TYPE_DISK, FILE_ATTRIBUTE_REPARSE_POINT), Holds::Link);
    EXPECT_EQ(KindOf(FILE_TYPE_DISK, FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY),
              Holds::FolderLink);
    EXPECT_EQ(KindOf(FILE_TYPE_CHAR, FILE_ATTRIBUTE_REPARSE_POINT), Holds::Device);
    EXPECT_EQ(KindOf(FILE_TYPE_PIPE, 0), Holds::Device);

    // A walk's file read later: a link at its name is Changed even with the right identity.
    const ExpectedFile expected{input, false};
    EXPECT_EQ(ReadRefusal(opened(Holds::Link, input), &expected), ReadStatus::Changed);
    EXPECT_EQ(ReadRefusal(opened(Holds::FolderLink, input), &expected), ReadStatus::Changed);
    EXPECT_EQ(ReadRefusal(opened(Followed(Holds::Link), input), &expected), std::nullopt);

    const struct {
        Opened existing;
        Obstacle output;  // a default-named output
        Obstacle named;   // a path the user named
    } targets[] = {
        {opened(Holds::Link, other), Obstacle::NotReplaced, Obstacle::None},
        {opened(Holds::Link, input), Obstacle::NotReplaced, Obstacle::None},
        {opened(Holds::FolderLink, other), Obstacle::NotReplaced, Obstacle::Folder},
        {opened(Holds::Device, {}), Obstacle::NotReplaced, Obstacle::NotReplaced},
        {opened(Holds::File, input), Obstacle::Input, Obstacle::None},
        {opened(Holds::File, other, FILE_ATTRIBUTE_READONLY), Obstacle::ReadOnly,
         Obstacle::ReadOnly},
    };
    for (const auto& target : targets) {
        EXPECT_EQ(OutputObstacle(target.existing, input), target.output)
            << static_cast<int>(target.existing.kind);
        EXPECT_EQ(NamedTargetObstacle(target.existing), target.named)
            << static_cast<int>(target.existing.kind);
    }

    // A subfolder is never opened through a link, nor a swapped folder taken.
    EXPECT_EQ(CheckFolder(opened(Holds::FolderLink, input), std::nullopt), FolderCheck::Changed);
    EXPECT_EQ(CheckFolder(opened(Holds::Link, input), std::nullopt), FolderCheck::Changed);
    EXPECT_EQ(CheckFolder(opened(Holds::Folder, other), input), FolderCheck::Changed);

    EXPECT_EQ(ListedKind(Holds::Link, Holds::File), FolderEntry::Kind::LinkToFile);
    EXPECT_EQ(ListedKind(Holds::Link, Holds::Folder), FolderEntry::Kind::Other);
    EXPECT_EQ(ListedKind(Holds::Link, Holds::Device), FolderEntry::Kind::Other);
    EXPECT_EQ(ListedKind(Holds::FolderLink, Holds::Folder), FolderEntry::Kind::Other);
}

TEST(FileDecisions, NamesAndRealPathsAsWin32TakesThem) {
    const std::pair<std::wstring, bool> names[] = {
        {L"BRIEF.TXT", true}, {L".brevikon", true}, {L"", false},     {L".", false},
        {L"..", false},       {L"a\\b", false},     {L"a/b", false},  {L"x:y", false},
        {L"*.rtf", false},    {L"abc.", false},     {L"abc ", false}, {L"a\tb", false},
    };
    for (const auto& [name, plain] : names)
        EXPECT_EQ(win32::IsPlainName(name), plain) << Utf16ToUtf8(Utf16(name));
    EXPECT_EQ(win32::WithoutLongPathPrefix(L"\\\\?\\C:\\texte"), L"C:\\texte");
    EXPECT_EQ(win32::WithoutLongPathPrefix(L"\\\\?\\UNC\\server\\archiv"), L"\\\\server\\archiv");
    EXPECT_EQ(win32::WithoutLongPathPrefix(L"C:\\texte"), L"C:\\texte");
}

// What the viewer is given comes from a dialog, a drop or the command line: anything a path
// can name. Only a regular file of an accepted length is read, whole; the rest is told apart.
// A read that expects the file a walk found follows that file, not its name.
TEST_F(FilesTest, ReadsAreWholeTellAllElseApartAndFollowTheFileNotTheName) {
    const std::wstring brief = Make(L"BRIEF.TXT", "Brief");
    const std::wstring other = Make(L"ANDERS.TXT", "Anders");
    ASSERT_TRUE(::CreateHardLinkW((folder_ + L"\\ZWEIT.TXT").c_str(), brief.c_str(), nullptr));
    const std::optional<FileIdentity> identity = IdentifyFile(brief);
    ASSERT_TRUE(identity);
    EXPECT_EQ(IdentifyFile(folder_ + L"\\brief.txt"), identity);
    EXPECT_EQ(IdentifyFile(folder_ + L"\\ZWEIT.TXT"), identity);
    EXPECT_NE(IdentifyFile(other), identity);
    EXPECT_NE(IdentifyFile(folder_), identity);
    EXPECT_EQ(IdentifyFile(folder_ + L"\\FEHLT.TXT"), std::nullopt);
    EXPECT_EQ(IdentifyFile(L"NUL"), std::nullopt);

    const ExpectedFile expected{*identity, false};
    const ExpectedFile throughLink{*identity, true};
    HeapBlock image;
    ReadResult read = ReadWholeFile(brief, 100, ProcessHeap(), image, &expected);
    EXPECT_EQ(read.status, ReadStatus::Ok);
    EXPECT_EQ(read.identity, *identity);
    EXPECT_EQ(Contents(folder_ + L"\\brief.txt"), "Brief");

    // A letter no drive uses (there is always one under Wine and on a usual Windows).
    std::wstring noDrive = L"?:\\";
    for (wchar_t letter = L'Y'; letter > L'D' && noDrive[0] == L'?'; --letter) {
        if (!(::GetLogicalDrives() & (1u << (letter - L'A')))) noDrive[0] = letter;
    }
    // Another file put in its place, by rename as an attacker would.
    ASSERT_TRUE(::MoveFileExW(other.c_str(), brief.c_str(), MOVEFILE_REPLACE_EXISTING));
    const struct {
        std::wstring path;
        const ExpectedFile* expected;
        ReadStatus status;
    } cases[] = {
        {brief, &expected, ReadStatus::Changed},
        {brief, &throughLink, ReadStatus::Changed},
        {folder_, &expected, ReadStatus::Changed},
        {L"NUL", &expected, ReadStatus::Changed},
        {folder_ + L"\\FEHLT.TXT", &expected, ReadStatus::Missing},
        {folder_ + L"\\ZWEIT.TXT", &expected, ReadStatus::Ok},  // the same file, another name
        {brief, nullptr, ReadStatus::Ok},
        {Make(L"LEER.TXT", ""), nullptr, ReadStatus::Empty},
        {Make(L"LANG.TXT", std::string(101, 'x')), nullptr, ReadStatus::TooLarge},
        {folder_, nullptr, ReadStatus::Directory},
        {folder_ + L"\\", nullptr, ReadStatus::Directory},
        {L"C:", nullptr, ReadStatus::Directory},
        {L"c:\\", nullptr, ReadStatus::Directory},
        {L"NUL", nullptr, ReadStatus::NotRegular},
        {noDrive, nullptr, ReadStatus::Missing},
        {folder_ + L"\\FEHLT.TXT", nullptr, ReadStatus::Missing},
        {folder_ + L"\\fehlt\\BRIEF.TXT", nullptr, ReadStatus::Missing},
        {folder_ + L"\\*.TXT", nullptr, ReadStatus::Missing},  // wildcards are not searched for
        {folder_ + L"\\BRIEF.TX?", nullptr, ReadStatus::Missing},
    };
    for (const auto& c : cases) {
        image.Release();
        read = SystemFiles().Read(c.path, 100, ProcessHeap(), image, c.expected);
        EXPECT_EQ(read.status, c.status) << Utf16ToUtf8(Utf16(c.path));
        EXPECT_EQ(image.held(), c.status == ReadStatus::Ok) << Utf16ToUtf8(Utf16(c.path));
    }
}

TEST_F(FilesTest, NamedWriteGoesToDevicesDirectlyAndReplacesFilesWhole) {
    const std::string bytes = "{\\rtf1 neu}";
    // Device names, also one inside a folder, are written directly; nothing lands in it.
    for (const std::wstring& device :
         {std::wstring(L"NUL"), std::wstring(L"\\\\.\\NUL"), folder_ + L"\\NUL"}) {
        const WriteResult result = WriteFileReplacing(device, bytes);
        EXPECT_TRUE(result.ok) << Utf16ToUtf8(Utf16(device)) << " " << result.systemError;
    }
    EXPECT_TRUE(Names().empty());

    const std::wstring pipeName =
        L"\\\\.\\pipe\\brevikon-test-" + std::to_wstring(::GetCurrentProcessId());
    const HANDLE pipe = ::CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_INBOUND,
                                           PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    std::string received;
    std::thread reader([&] {
        ::ConnectNamedPipe(pipe, nullptr);
        char buffer[64];
        DWORD got = 0;
        while (::ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0)
            received.append(buffer, got);
    });
    EXPECT_TRUE(WriteFileReplacing(pipeName, bytes).ok);
    reader.join();
    ::CloseHandle(pipe);
    EXPECT_EQ(received, bytes);

    // Replacing a longer file leaves nothing of it behind.
    const std::wstring target = Make(L"BRIEF.rtf", "{\\rtf1 alt, und laenger}");
    EXPECT_TRUE(WriteFileReplacing(target, bytes).ok);
    EXPECT_EQ(Contents(target), bytes);
    FileStore& files = SystemFiles();
    EXPECT_TRUE(files.SameFile(target, folder_ + L"\\brief.RTF"));
    EXPECT_TRUE(files.SameFile(target, folder_ + L"\\.\\BRIEF.rtf"));
    EXPECT_FALSE(files.SameFile(target, folder_ + L"\\FEHLT.rtf"));

    const std::wstring locked = Make(L"SCHREIBGESCHUETZT.rtf", "alt");
    ASSERT_TRUE(::SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::wstring sub = folder_ + L"\\Ordner";
    ASSERT_TRUE(::CreateDirectoryW(sub.c_str(), nullptr));
    const std::pair<std::wstring, int> refused[] = {
        {locked, ERROR_ACCESS_DENIED},
        {sub, ERROR_DIRECTORY},
        {folder_ + L"\\fehlt\\x.rtf", ERROR_PATH_NOT_FOUND},
    };
    for (const auto& [path, error] : refused) {
        const WriteResult result = WriteFileReplacing(path, bytes);
        EXPECT_FALSE(result.ok) << Utf16ToUtf8(Utf16(path));
        EXPECT_EQ(result.systemError, error) << Utf16ToUtf8(Utf16(path));
    }
    EXPECT_EQ(Contents(locked), "alt");
    EXPECT_FALSE(files.SameFile(target, locked));
    EXPECT_EQ(Names(),
              (std::vector<std::wstring>{L"BRIEF.rtf", L"Ordner", L"SCHREIBGESCHUETZT.rtf"}));
}

// A folder held for a run's outputs stays where it is, also in another holder, until closed.
// Its default outputs replace only a file of their own, never the input, and stay inside.
TEST_F(FilesTest, HeldFolderStaysAndItsDefaultOutputsReplaceOnlyAFileOfTheirOwn) {
    // One level down, so that a name which escaped would land in the scratch folder.
    const std::wstring out = folder_ + L"\\Ausgabe", moved = folder_ + L"\\Verschoben";
    ASSERT_TRUE(::CreateDirectoryW(out.c_str(), nullptr));
    FolderResult opened = OpenFolder(out);
    ASSERT_TRUE(opened.folder.open()) << opened.systemError;
    EXPECT_EQ(opened.folder.path(), out + L"\\");
    EXPECT_EQ(RealFolderPath(opened.folder), out);
    FolderHandle folder = std::move(opened.folder);
    EXPECT_FALSE(opened.folder.open());
    EXPECT_FALSE(::MoveFileW(out.c_str(), moved.c_str()));
    EXPECT_FALSE(::RemoveDirectoryW(out.c_str()));  // empty, so only holding keeps it
    EXPECT_TRUE(OpenFolder(out, IdentifyFile(out)).folder.open());
    EXPECT_TRUE(OpenFolder(out, IdentifyFile(folder_)).changed);

    const std::wstring input = Make(L"Ausgabe\\BRIEF.TXT", "Dokument");
    ASSERT_TRUE(::CreateHardLinkW((out + L"\\ZWEIT.rtf").c_str(), input.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW((out + L"\\ORDNER.rtf").c_str(), nullptr));
    const std::wstring locked = Make(L"Ausgabe\\FEST.rtf", "alt");
    ASSERT_TRUE(::SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    Make(L"Ausgabe\\ALT.rtf", "{\\rtf1 alt, und laenger}");
    EXPECT_FALSE(OpenFolder(input).folder.open());
    const std::optional<FileIdentity> identity = IdentifyFile(input);

    const struct {
        std::wstring name;
        bool ok, notReplaced, isInput;
        int error;
    } cases[] = {
        {L"ALT.rtf", true, false, false, 0},
        {L"NEU.rtf", true, false, false, 0},
        {L"BRIEF.TXT", false, true, true, 0},
        {L"ZWEIT.rtf", false, true, true, 0},  // the input under another name
        {L"ORDNER.rtf", false, true, false, 0},
        {L"NUL", false, true, false, 0},  // a device name
        {L"FEST.rtf", false, false, false, ERROR_ACCESS_DENIED},
        {L"..", false, false, false, ERROR_INVALID_NAME},
        {L"..\\BRIEF.rtf", false, false, false, ERROR_INVALID_NAME},
        {L"x:y", false, false, false, ERROR_INVALID_NAME},
    };
    for (const auto& c : cases) {
        const WriteResult result = WriteNewOutput(folder, c.name, "{}", identity);
        const std::string name = Utf16ToUtf8(Utf16(c.name));
        EXPECT_EQ(result.ok, c.ok) << name;
        EXPECT_EQ(result.notReplaced, c.notReplaced) << name;
        EXPECT_EQ(result.isInput, c.isInput) << name;
        EXPECT_EQ(result.systemError, c.error) << name;
    }
    EXPECT_EQ(Contents(out + L"\\ALT.rtf"), "{}");
    EXPECT_EQ(Contents(out + L"\\NEU.rtf"), "{}");
    EXPECT_EQ(Contents(input), "Dokument");
    EXPECT_EQ(Contents(locked), "alt");
    // No temporary file stays behind, and nothing was written beside the folder.
    EXPECT_EQ(Names(), std::vector<std::wstring>{L"Ausgabe"});
    EXPECT_EQ(Names(L"\\Ausgabe"),
              (std::vector<std::wstring>{L"ALT.rtf", L"BRIEF.TXT", L"FEST.rtf", L"NEU.rtf",
                                         L"ORDNER.rtf", L"ZWEIT.rtf"}));
    folder.Close();
    EXPECT_TRUE(::MoveFileW(out.c_str(), moved.c_str()));
}

TEST_F(FilesTest, ListingAndSubfoldersTellEveryKindAndStayInside) {
    const std::wstring brief = Make(L"BRIEF.TXT", "Brief");
    const FolderResult root = OpenFolder(folder_);
    ASSERT_TRUE(root.folder.open());

    // Created when missing, opened when there, never a file or a name that leaves the folder.
    EXPECT_EQ(OpenSubfolder(root.folder, L"1987", false).systemError, ERROR_FILE_NOT_FOUND);
    FolderResult sub = OpenSubfolder(root.folder, L"1987", true);
    ASSERT_TRUE(sub.folder.open()) << sub.systemError;
    EXPECT_EQ(sub.folder.path(), folder_ + L"\\1987\\");
    EXPECT_TRUE(OpenSubfolder(root.folder, L"1987", true).folder.open());
    EXPECT_TRUE(WriteNewOutput(sub.folder, L"BRIEF.rtf", "{}", std::nullopt).ok);
    EXPECT_EQ(Contents(folder_ + L"\\1987\\BRIEF.rtf"), "{}");
    EXPECT_EQ(OpenSubfolder(root.folder, L"BRIEF.TXT", true).systemError, ERROR_PATH_NOT_FOUND);
    for (const wchar_t* name : {L"..", L"..\\raus", L"a/b", L""})
        EXPECT_EQ(OpenSubfolder(sub.folder, name, true).systemError, ERROR_INVALID_NAME);
    EXPECT_EQ(Names(L"\\1987"), std::vector<std::wstring>{L"BRIEF.rtf"});

    // Names only a \\?\ path makes: a device name, and one Win32 would shorten.
    for (const wchar_t* name : {L"NUL", L"abc."}) {
        const HANDLE made = ::CreateFileW((L"\\\\?\\" + folder_ + L"\\" + name).c_str(),
                                          GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(made, INVALID_HANDLE_VALUE);
        ::CloseHandle(made);
    }
    std::vector<FolderEntry> entries;
    int error = -1;
    ASSERT_TRUE(ListFolder(root.folder, entries, error));
    EXPECT_EQ(error, 0);
    std::map<std::wstring, FolderEntry> byName;
    for (FolderEntry& entry : entries)
        byName[entry.name] = std::move(entry);
    ASSERT_EQ(byName.size(), 4u);
    EXPECT_EQ(byName[L"BRIEF.TXT"].kind, FolderEntry::Kind::File);
    EXPECT_EQ(byName[L"BRIEF.TXT"].identity, IdentifyFile(brief));
    EXPECT_EQ(byName[L"1987"].kind, FolderEntry::Kind::Folder);
    EXPECT_EQ(byName[L"1987"].identity, IdentifyFile(folder_ + L"\\1987"));
    EXPECT_EQ(byName[L"NUL"].kind, FolderEntry::Kind::Other);
    EXPECT_EQ(byName[L"abc."].kind, FolderEntry::Kind::Unreadable);
    EXPECT_EQ(byName[L"abc."].systemError, ERROR_INVALID_NAME);

    entries.clear();
    EXPECT_TRUE(ListFolder(OpenSubfolder(sub.folder, L"leer", true).folder, entries, error));
    EXPECT_TRUE(entries.empty());
    EXPECT_FALSE(ListFolder(FolderHandle(), entries, error));
}

// 100 ns steps since 1601, rounded down to whole seconds so that a time before 1970 keeps
// positive nanoseconds; past the largest signed count Windows takes, held at it.
TEST(FileTimes, Win32TimesCountFromTheUnixEpoch) {
    constexpr std::uint64_t Epoch = 116'444'736'000'000'000;  // 1970 in steps from 1601
    const std::pair<std::uint64_t, FileTime> cases[] = {
        {Epoch + 1, {0, 100}},
        {Epoch - 1, {-1, 999'999'900}},
        {0, {-11'644'473'600, 0}},
        {Epoch + 21'474'836'480'000'000, {2'147'483'648, 0}},  // past a signed 32-bit count
        {0x7FFF'FFFF'FFFF'FFFF, {910'692'730'085, 477'580'700}},
        {0xFFFF'FFFF'FFFF'FFFF, {910'692'730'085, 477'580'700}},
    };
    for (const auto& [steps, time] : cases) {
        const FILETIME written{static_cast<DWORD>(steps), static_cast<DWORD>(steps >> 32)};
        EXPECT_EQ(win32::UnixTimeOf(written), time) << steps;
    }
}

// The opened file's last write, not its creation or last access.
TEST_F(FilesTest, ModificationTimeIsTheOpenedFilesOwn) {
    const std::wstring brief = Make(L"BRIEF.TXT", "Hi");
    {
        win32::FileHandle file(::CreateFileW(brief.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
        const std::uint64_t steps = 116'444'736'000'000'000 + 17'091'648'001'234'567;
        const FILETIME other{0, 0x0100'0000};
        const FILETIME written{static_cast<DWORD>(steps), static_cast<DWORD>(steps >> 32)};
        ASSERT_TRUE(::SetFileTime(file.get(), &other, &other, &written));
    }
    HeapBlock image;
    const ReadResult read = ReadWholeFile(brief, 100, ProcessHeap(), image);
    EXPECT_EQ(read.modified, (FileTime{1'709'164'800, 123'456'700}));
}

TEST(FileErrorTexts, NewCodesHaveTheirOwnText) {
    EXPECT_EQ(SystemErrorText(ERROR_TOO_MANY_OPEN_FILES), u"Zu viele offene Dateien");
    EXPECT_EQ(SystemErrorText(ERROR_BROKEN_PIPE), SystemErrorText(ERROR_NO_DATA));
    EXPECT_EQ(SystemErrorText(ERROR_CANT_RESOLVE_FILENAME),
              u"Verknuepfung kann nicht aufgeloest werden");
}

TEST(PlatformText, LowerCaseByTheSystemsRules) {
    Win32Platform platform;
    EXPECT_EQ(platform.LowerCase(u"Rtf"), u"rtf");
    EXPECT_EQ(platform.LowerCase(u"\u00c4\u00d6\u00dc"), u"\u00e4\u00f6\u00fc");
    EXPECT_EQ(platform.LowerCase(u""), u"");
}

}  // namespace
}  // namespace brevikon
