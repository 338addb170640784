// The file-system side of the platform, on real files in a scratch folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/platform/platform.h"
#include "app/platform/win32/file_queries.h"
#include "app/platform/win32/wide_text.h"
#include "app/platform/win32/win32_platform.h"

namespace brevikon {
namespace {

class ScratchFolder : public testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        ASSERT_GT(::GetTempPathW(MAX_PATH, temp), 0u);
        folder_ =
            std::wstring(temp) + L"brevikon-win32-test-" + std::to_wstring(::GetCurrentProcessId());
        ASSERT_TRUE(::CreateDirectoryW(folder_.c_str(), nullptr));
    }
    void TearDown() override {
        for (const std::wstring& file : created_)
            ::DeleteFileW(file.c_str());
        ::RemoveDirectoryW(folder_.c_str());
    }
    std::wstring Make(const std::wstring& name, const std::string& bytes) {
        const std::wstring path = folder_ + L"\\" + name;
        const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        ::CloseHandle(file);
        created_.push_back(path);
        return path;
    }
    std::string Contents(const std::wstring& path) {
        const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return "<missing>";
        std::string bytes(4096, '\0');
        DWORD got = 0;
        ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
        ::CloseHandle(file);
        bytes.resize(got);
        return bytes;
    }
    std::wstring folder_;
    std::vector<std::wstring> created_;
};

using QueryPathSizeTest = ScratchFolder;

TEST_F(QueryPathSizeTest, FilesFoldersAndNothing) {
    const std::wstring file = Make(L"BRIEF.TXT", "12345");
    EXPECT_EQ(QueryPathSize(file), 5);
    EXPECT_EQ(QueryPathSize(Make(L"LEER.TXT", "")), 0);
    EXPECT_EQ(QueryPathSize(folder_ + L"\\FEHLT.TXT"), SizeNothing);
    EXPECT_EQ(QueryPathSize(folder_ + L"\\fehlt\\BRIEF.TXT"), SizeNothing);
    EXPECT_EQ(QueryPathSize(folder_), SizeFolder);
    EXPECT_EQ(QueryPathSize(L""), SizeNothing);
}

TEST_F(QueryPathSizeTest, TrailingSeparatorsAreIgnored) {
    const std::wstring file = Make(L"BRIEF.TXT", "12345");
    EXPECT_EQ(QueryPathSize(file + L"\\"), 5);
    EXPECT_EQ(QueryPathSize(file + L"/\\/"), 5);
    EXPECT_EQ(QueryPathSize(folder_ + L"\\"), SizeFolder);
    EXPECT_EQ(QueryPathSize(L"\\"), SizeFolder);
}

TEST_F(QueryPathSizeTest, DrivesCountAsFolders) {
    EXPECT_EQ(QueryPathSize(L"C:"), SizeFolder);
    EXPECT_EQ(QueryPathSize(L"c:\\"), SizeFolder);
    // A letter no drive uses.
    const DWORD drives = ::GetLogicalDrives();
    for (wchar_t letter = L'Y'; letter > L'D'; --letter) {
        if (drives & (1u << (letter - L'A'))) continue;
        EXPECT_EQ(QueryPathSize(std::wstring(1, letter) + L":\\"), SizeNothing);
        break;
    }
}

TEST_F(QueryPathSizeTest, WildcardsAreNotSearchedFor) {
    Make(L"BRIEF.TXT", "12345");
    EXPECT_EQ(QueryPathSize(folder_ + L"\\*.TXT"), SizeNothing);
    EXPECT_EQ(QueryPathSize(folder_ + L"\\BRIEF.TX?"), SizeNothing);
}

using DocumentFileTest = ScratchFolder;

TEST_F(DocumentFileTest, ReadWholeWhileSharedWithNobody) {
    const std::wstring path = Make(L"BRIEF.TXT", "Hallo\r\n");
    const HANDLE file = OpenDocumentFile(path);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(OpenFileLength(file), 7);

    // Share mode 0: nobody else opens it meanwhile, not even for reading.
    const HANDLE other = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(other, INVALID_HANDLE_VALUE);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));

    char bytes[16] = {};
    EXPECT_EQ(ReadOnce(file, reinterpret_cast<std::uint8_t*>(bytes), sizeof bytes), 7);
    EXPECT_EQ(std::string(bytes), "Hallo\r\n");
    ::CloseHandle(file);
}

TEST_F(DocumentFileTest, MissingFilesAndFoldersDoNotOpen) {
    EXPECT_EQ(OpenDocumentFile(folder_ + L"\\FEHLT.TXT"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(OpenDocumentFile(folder_), INVALID_HANDLE_VALUE);
}

using PlatformFilesTest = ScratchFolder;

TEST_F(PlatformFilesTest, WriteReplacesWholeAndRecognisesTheSameFile) {
    Win32Platform platform;
    const std::wstring target = folder_ + L"\\BRIEF.rtf";
    created_.push_back(target);
    const std::string first = "{\\rtf1 first}";
    WriteOutcome outcome =
        platform.WriteWholeFile(Utf16(target), reinterpret_cast<const std::uint8_t*>(first.data()),
                                static_cast<std::int64_t>(first.size()));
    EXPECT_TRUE(outcome.created);
    EXPECT_EQ(outcome.written, static_cast<std::int64_t>(first.size()));
    EXPECT_EQ(Contents(target), first);

    // Replacing a longer file leaves nothing of it behind.
    const std::string second = "{}";
    outcome = platform.WriteWholeFile(Utf16(target),
                                      reinterpret_cast<const std::uint8_t*>(second.data()), 2);
    EXPECT_TRUE(outcome.created);
    EXPECT_EQ(Contents(target), second);

    EXPECT_TRUE(platform.IsSameFile(Utf16(target), Utf16(folder_ + L"\\brief.RTF")));
    EXPECT_TRUE(platform.IsSameFile(Utf16(target), Utf16(folder_ + L"\\.\\BRIEF.rtf")));
    EXPECT_FALSE(platform.IsSameFile(Utf16(target), Utf16(Make(L"OTHER.rtf", "{}"))));
    EXPECT_FALSE(platform.IsSameFile(Utf16(target), Utf16(folder_ + L"\\FEHLT.rtf")));
}

TEST_F(PlatformFilesTest, WriteIntoAMissingFolderFails) {
    Win32Platform platform;
    const std::string bytes = "{}";
    const WriteOutcome outcome = platform.WriteWholeFile(
        Utf16(folder_ + L"\\fehlt\\x.rtf"), reinterpret_cast<const std::uint8_t*>(bytes.data()), 2);
    EXPECT_FALSE(outcome.created);
    EXPECT_EQ(outcome.written, 0);
}

TEST_F(PlatformFilesTest, OpenReadCloseThroughThePlatform) {
    Win32Platform platform;
    const std::wstring path = Make(L"BRIEF.TXT", "abc");
    EXPECT_EQ(platform.QueryFileSize(Utf16(path) + u"\\"), 3);
    const FileHandle file = platform.OpenFileForReading(Utf16(path));
    ASSERT_NE(file, NoFile);
    EXPECT_EQ(platform.FileLength(file), 3);
    std::uint8_t bytes[8] = {};
    EXPECT_EQ(platform.ReadFileInto(file, bytes, 3), 3);
    EXPECT_EQ(bytes[2], 'c');
    platform.CloseFile(file);
    EXPECT_EQ(platform.OpenFileForReading(Utf16(path + L".fehlt")), NoFile);
}

TEST(PlatformText, LowerCaseByTheSystemsRules) {
    Win32Platform platform;
    EXPECT_EQ(platform.LowerCase(u"RTF"), u"rtf");
    EXPECT_EQ(platform.LowerCase(u"Rtf"), u"rtf");
    EXPECT_EQ(platform.LowerCase(u"\u00c4\u00d6\u00dc"), u"\u00e4\u00f6\u00fc");
    EXPECT_EQ(platform.LowerCase(u""), u"");
}

TEST(PlatformText, CommandLineIsTheWholeUnsplitLine) {
    Win32Platform platform;
    const std::u16string line = platform.CommandLine();
    EXPECT_NE(line.find(u"win32_tests"), std::u16string::npos);
}

}  // namespace
}  // namespace brevikon
