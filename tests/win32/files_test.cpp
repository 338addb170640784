// The file-system side of the platform, on real files in a scratch folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/platform/platform.h"
#include "app/platform/win32/file_queries.h"
#include "app/platform/win32/wide_text.h"
#include "app/platform/win32/win32_platform.h"
#include "base/text.h"

namespace brevikon {
namespace {

class FilesTest : public testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        ASSERT_GT(::GetTempPathW(MAX_PATH, temp), 0u);
        folder_ = temp + (L"brevikon-win32-test-" + std::to_wstring(::GetCurrentProcessId()));
        ASSERT_TRUE(::CreateDirectoryW(folder_.c_str(), nullptr));
    }
    void TearDown() override {
        for (const std::wstring& file : created_)
            ::DeleteFileW(file.c_str());
        ::RemoveDirectoryW(folder_.c_str());
    }
    // Creates (or replaces) the file through the platform itself, which is under test too.
    std::wstring Make(const std::wstring& name, const std::string& bytes) {
        const std::wstring path = folder_ + L"\\" + name;
        created_.push_back(path);
        const WriteOutcome outcome = platform_.WriteWholeFile(
            Utf16(path), reinterpret_cast<const std::uint8_t*>(bytes.data()),
            static_cast<std::int64_t>(bytes.size()));
        EXPECT_TRUE(outcome.created);
        EXPECT_EQ(outcome.written, static_cast<std::int64_t>(bytes.size()));
        return path;
    }
    // The whole file, read through the platform.
    std::string Contents(const std::wstring& path) {
        const FileHandle file = platform_.OpenFileForReading(Utf16(path));
        if (file == NoFile) return "<missing>";
        std::string bytes(static_cast<std::size_t>(platform_.FileLength(file)), '\0');
        bytes.resize(static_cast<std::size_t>(
            platform_.ReadFileInto(file, reinterpret_cast<std::uint8_t*>(bytes.data()),
                                   static_cast<std::int64_t>(bytes.size()))));
        platform_.CloseFile(file);
        return bytes;
    }
    Win32Platform platform_;
    std::wstring folder_;
    std::vector<std::wstring> created_;
};

TEST_F(FilesTest, QueryPathSizeTellsFilesFoldersDrivesAndNothing) {
    const std::wstring file = Make(L"BRIEF.TXT", "12345");
    Make(L"LEER.TXT", "");
    // A letter no drive uses (there is always one under Wine and on a usual Windows).
    std::wstring noDrive = L"?:\\";
    for (wchar_t letter = L'Y'; letter > L'D' && noDrive[0] == L'?'; --letter) {
        if (!(::GetLogicalDrives() & (1u << (letter - L'A')))) noDrive[0] = letter;
    }
    const std::pair<std::wstring, std::int64_t> cases[] = {
        {file, 5},
        {folder_ + L"\\LEER.TXT", 0},
        {file + L"\\", 5},  // trailing separators are ignored
        {file + L"/\\/", 5},
        {folder_, SizeFolder},
        {folder_ + L"\\", SizeFolder},
        {L"\\", SizeFolder},
        {L"C:", SizeFolder},
        {L"c:\\", SizeFolder},
        {noDrive, SizeNothing},
        {folder_ + L"\\FEHLT.TXT", SizeNothing},
        {folder_ + L"\\fehlt\\BRIEF.TXT", SizeNothing},
        {L"", SizeNothing},
        {folder_ + L"\\*.TXT", SizeNothing},  // wildcards are not searched for
        {folder_ + L"\\BRIEF.TX?", SizeNothing},
    };
    for (const auto& [path, size] : cases)
        EXPECT_EQ(QueryPathSize(path), size) << Utf16ToUtf8(Utf16(path));
    EXPECT_EQ(platform_.QueryFileSize(Utf16(file) + u"\\"), 5);
}

TEST_F(FilesTest, DocumentIsReadWholeWhileSharedWithNobody) {
    const std::wstring path = Make(L"BRIEF.TXT", "Hallo\r\n");
    const HANDLE file = OpenDocumentFile(path);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(OpenFileLength(file), 7);
    const HANDLE other = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(other, INVALID_HANDLE_VALUE);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    char bytes[16] = {};
    EXPECT_EQ(ReadOnce(file, reinterpret_cast<std::uint8_t*>(bytes), sizeof bytes), 7);
    EXPECT_EQ(std::string(bytes), "Hallo\r\n");
    ::CloseHandle(file);

    EXPECT_EQ(OpenDocumentFile(folder_ + L"\\FEHLT.TXT"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(OpenDocumentFile(folder_), INVALID_HANDLE_VALUE);
    EXPECT_EQ(platform_.OpenFileForReading(Utf16(path + L".fehlt")), NoFile);
}

TEST_F(FilesTest, WriteReplacesWholeAndRecognisesTheSameFile) {
    const std::wstring target = Make(L"BRIEF.rtf", "{\\rtf1 first}");
    EXPECT_EQ(Contents(target), "{\\rtf1 first}");
    // Replacing a longer file leaves nothing of it behind.
    Make(L"BRIEF.rtf", "{}");
    EXPECT_EQ(Contents(target), "{}");

    const std::u16string name = Utf16(target);
    EXPECT_TRUE(platform_.IsSameFile(name, Utf16(folder_ + L"\\brief.RTF")));
    EXPECT_TRUE(platform_.IsSameFile(name, Utf16(folder_ + L"\\.\\BRIEF.rtf")));
    EXPECT_FALSE(platform_.IsSameFile(name, Utf16(Make(L"OTHER.rtf", "{}"))));
    EXPECT_FALSE(platform_.IsSameFile(name, Utf16(folder_ + L"\\FEHLT.rtf")));

    const WriteOutcome outcome = platform_.WriteWholeFile(
        Utf16(folder_ + L"\\fehlt\\x.rtf"), reinterpret_cast<const std::uint8_t*>("{}"), 2);
    EXPECT_FALSE(outcome.created);
    EXPECT_EQ(outcome.written, 0);
}

TEST(PlatformText, LowerCaseByTheSystemsRules) {
    Win32Platform platform;
    EXPECT_EQ(platform.LowerCase(u"Rtf"), u"rtf");
    EXPECT_EQ(platform.LowerCase(u"\u00c4\u00d6\u00dc"), u"\u00e4\u00f6\u00fc");
    EXPECT_EQ(platform.LowerCase(u""), u"");
}

}  // namespace
}  // namespace brevikon
