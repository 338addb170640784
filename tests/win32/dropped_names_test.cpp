// Reading a dropped file list: the DROPFILES block that Explorer (or OLE) hands over.
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/platform/win32/dropped_names.h"

namespace brevikon {
namespace {

// A global block as a drop delivers it: the DROPFILES header, then the names, each ended by
// a NUL, the list by a second NUL; wide or 8-bit.
class DropBlock {
  public:
    explicit DropBlock(const std::vector<std::wstring>& names) {
        std::vector<wchar_t> list;
        for (const std::wstring& name : names) {
            list.insert(list.end(), name.begin(), name.end());
            list.push_back(L'\0');
        }
        list.push_back(L'\0');
        // An empty list still ends in two NULs.
        if (names.empty()) list.push_back(L'\0');
        Fill(list.data(), list.size() * sizeof(wchar_t), TRUE);
    }
    explicit DropBlock(const std::vector<std::string>& names) {
        std::vector<char> list;
        for (const std::string& name : names) {
            list.insert(list.end(), name.begin(), name.end());
            list.push_back('\0');
        }
        list.push_back('\0');
        if (names.empty()) list.push_back('\0');
        Fill(list.data(), list.size(), FALSE);
    }
    DropBlock(const DropBlock&) = delete;
    DropBlock& operator=(const DropBlock&) = delete;
    ~DropBlock() { ::GlobalFree(block_); }
    HDROP get() const { return static_cast<HDROP>(block_); }

  private:
    void Fill(const void* list, std::size_t bytes, BOOL wide) {
        block_ = ::GlobalAlloc(GHND, sizeof(DROPFILES) + bytes);
        auto* header = static_cast<DROPFILES*>(::GlobalLock(block_));
        header->pFiles = sizeof(DROPFILES);
        header->fWide = wide;
        std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list, bytes);
        ::GlobalUnlock(block_);
    }
    HGLOBAL block_ = nullptr;
};

TEST(JoinDroppedNames, NamesInDropOrderJoinedByLineFeed) {
    const DropBlock drop(std::vector<std::wstring>{L"C:\\Texte\\BRIEF.TXT",
                                                   L"C:\\Eigene Dateien\\B\u00fcro.doc", L"D:\\x"});
    EXPECT_EQ(JoinDroppedNames(drop.get()),
              u"C:\\Texte\\BRIEF.TXT\nC:\\Eigene Dateien\\B\u00fcro.doc\nD:\\x");
}

TEST(JoinDroppedNames, OneNameHasNoLineFeedAndNoneGivesNothing) {
    const DropBlock one(std::vector<std::wstring>{L"C:\\a.txt"});
    EXPECT_EQ(JoinDroppedNames(one.get()), u"C:\\a.txt");
    const DropBlock none(std::vector<std::wstring>{});
    EXPECT_EQ(JoinDroppedNames(none.get()), u"");
}

TEST(JoinDroppedNames, NamesLongerThanMaxPathSurviveWhole) {
    const std::wstring longName = L"C:\\" + std::wstring(300, L'n') + L".txt";
    const DropBlock drop(std::vector<std::wstring>{longName, L"C:\\b"});
    EXPECT_EQ(JoinDroppedNames(drop.get()), u"C:\\" + std::u16string(300, u'n') + u".txt\nC:\\b");
}

TEST(JoinDroppedNames, EightBitListsAreReadToo) {
    // Older programs still drop 8-bit lists; the system converts them.
    const DropBlock drop(std::vector<std::string>{"C:\\A.TXT", "C:\\B.DOC"});
    EXPECT_EQ(JoinDroppedNames(drop.get()), u"C:\\A.TXT\nC:\\B.DOC");
}

}  // namespace
}  // namespace brevikon
