// The drop target as OLE calls it: what it accepts, the effect it answers, and what a drop
// hands to the application; and reading the dropped file list itself.
#include <windows.h>

#include <ole2.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/platform/win32/drop_target.h"
#include "app/platform/win32/dropped_names.h"

namespace brevikon {
namespace {

// A global block as a drop delivers it: the DROPFILES header, then the names, each ended by
// a NUL, the list by a second NUL; wide, or 8-bit as older programs still drop them.
template <class Char>
HGLOBAL MakeDropFiles(const std::vector<std::basic_string<Char>>& names) {
    std::basic_string<Char> list;
    for (const auto& name : names) {
        list += name;
        list += Char(0);
    }
    list += Char(0);
    if (names.empty()) list += Char(0);  // an empty list still ends in two NULs
    const std::size_t bytes = list.size() * sizeof(Char);
    const HGLOBAL block = ::GlobalAlloc(GHND, sizeof(DROPFILES) + bytes);
    auto* header = static_cast<DROPFILES*>(::GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = sizeof(Char) == sizeof(wchar_t);
    std::memcpy(header + 1, list.data(), bytes);
    ::GlobalUnlock(block);
    return block;
}

// A data object offering a file list (CF_HDROP), or only text when it has no files.
class FakeDataObject final : public IDataObject {
  public:
    explicit FakeDataObject(std::optional<std::vector<std::wstring>> files)
        : files_(std::move(files)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (riid == IID_IUnknown || riid == IID_IDataObject) {
            *object = static_cast<IDataObject*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
        medium->hGlobal = MakeDropFiles(*files_);
        medium->tymed = TYMED_HGLOBAL;
        medium->pUnkForRelease = nullptr;
        ++handedOut;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        const bool fileList =
            files_.has_value() && format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL);
        return fileList ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

    int handedOut = 0;

  private:
    std::optional<std::vector<std::wstring>> files_;
};

class DropTargetTest : public testing::Test {
  protected:
    DropTargetTest() {
        target_ = new FileDropTarget([this](std::u16string names) { drops_.push_back(names); });
    }
    ~DropTargetTest() override { target_->Release(); }

    FileDropTarget* target_;
    std::vector<std::u16string> drops_;
    const POINTL point_{10, 10};
};

TEST_F(DropTargetTest, FileListsAreCopiedAndHandedOnJoined) {
    FakeDataObject data(std::vector<std::wstring>{L"C:\\a.txt", L"C:\\b.doc", L"D:\\c"});
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    EXPECT_EQ(target_->DragEnter(&data, MK_LBUTTON, point_, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target_->DragOver(MK_LBUTTON, point_, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_TRUE(drops_.empty()) << "nothing happens before the drop";
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target_->Drop(&data, 0, point_, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(drops_, std::vector<std::u16string>{u"C:\\a.txt\nC:\\b.doc\nD:\\c"});

    // After leaving, the offer is forgotten.
    target_->DragEnter(&data, MK_LBUTTON, point_, &effect);
    EXPECT_EQ(target_->DragLeave(), S_OK);
    effect = DROPEFFECT_COPY;
    target_->DragOver(MK_LBUTTON, point_, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
}

// Other data, or a source that forbids copying: no effect at any step, and no drop; the list
// is not even fetched.
TEST_F(DropTargetTest, OtherDataOrNoCopyIsRefused) {
    FakeDataObject text(std::nullopt);
    FakeDataObject files(std::vector<std::wstring>{L"C:\\a.txt"});
    for (auto [data, allowed] :
         {std::pair{&text, DWORD{DROPEFFECT_COPY}}, std::pair{&files, DWORD{DROPEFFECT_MOVE}}}) {
        DWORD effect = allowed;
        target_->DragEnter(data, MK_LBUTTON, point_, &effect);
        EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
        effect = allowed;
        target_->DragOver(MK_LBUTTON, point_, &effect);
        EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
        effect = allowed;
        target_->Drop(data, 0, point_, &effect);
        EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    }
    EXPECT_EQ(files.handedOut, 0);
    EXPECT_TRUE(drops_.empty());
}

TEST_F(DropTargetTest, AnswersAsIDropTargetOnly) {
    void* object = nullptr;
    EXPECT_EQ(target_->QueryInterface(IID_IDropTarget, &object), S_OK);
    EXPECT_EQ(object, static_cast<IDropTarget*>(target_));
    target_->Release();
    EXPECT_EQ(target_->QueryInterface(IID_IDataObject, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
}

template <class Char>
std::u16string Joined(const std::vector<std::basic_string<Char>>& names) {
    const HGLOBAL block = MakeDropFiles(names);
    std::u16string joined = JoinDroppedNames(static_cast<HDROP>(block));
    ::GlobalFree(block);
    return joined;
}

TEST(JoinDroppedNames, NamesInDropOrderJoinedByLineFeed) {
    using Names = std::vector<std::wstring>;
    EXPECT_EQ(
        Joined(Names{L"C:\\Texte\\BRIEF.TXT", L"C:\\Eigene Dateien\\B\u00fcro.doc", L"D:\\x"}),
        u"C:\\Texte\\BRIEF.TXT\nC:\\Eigene Dateien\\B\u00fcro.doc\nD:\\x");
    EXPECT_EQ(Joined(Names{L"C:\\a.txt"}), u"C:\\a.txt");
    EXPECT_EQ(Joined(Names{}), u"");
    // Names longer than MAX_PATH survive whole.
    EXPECT_EQ(Joined(Names{L"C:\\" + std::wstring(300, L'n'), L"C:\\b"}),
              u"C:\\" + std::u16string(300, u'n') + u"\nC:\\b");
    // 8-bit lists are converted by the system.
    EXPECT_EQ(Joined(std::vector<std::string>{"C:\\A.TXT", "C:\\B.DOC"}), u"C:\\A.TXT\nC:\\B.DOC");
}

}  // namespace
}  // namespace brevikon
