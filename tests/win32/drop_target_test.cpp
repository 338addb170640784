// The drop target as OLE calls it: what it accepts, the effect it answers, and what a drop
// hands to the application.
#include <windows.h>

#include <ole2.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/platform/win32/drop_target.h"

namespace brevikon {
namespace {

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
        std::vector<wchar_t> list;
        for (const std::wstring& file : *files_) {
            list.insert(list.end(), file.begin(), file.end());
            list.push_back(L'\0');
        }
        list.push_back(L'\0');
        list.push_back(L'\0');
        const HGLOBAL block = ::GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * 2);
        auto* header = static_cast<DROPFILES*>(::GlobalLock(block));
        header->pFiles = sizeof(DROPFILES);
        header->fWide = TRUE;
        std::memcpy(header + 1, list.data(), list.size() * 2);
        ::GlobalUnlock(block);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = block;
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
    ASSERT_EQ(drops_.size(), 1u);
    EXPECT_EQ(drops_[0], u"C:\\a.txt\nC:\\b.doc\nD:\\c");
}

TEST_F(DropTargetTest, OtherDataIsRefused) {
    FakeDataObject text(std::nullopt);
    DWORD effect = DROPEFFECT_COPY;
    target_->DragEnter(&text, MK_LBUTTON, point_, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    effect = DROPEFFECT_COPY;
    target_->DragOver(MK_LBUTTON, point_, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    effect = DROPEFFECT_COPY;
    target_->Drop(&text, 0, point_, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_TRUE(drops_.empty());
}

TEST_F(DropTargetTest, ASourceThatForbidsCopyingGetsNoDrop) {
    FakeDataObject data(std::vector<std::wstring>{L"C:\\a.txt"});
    DWORD effect = DROPEFFECT_MOVE;
    target_->DragEnter(&data, MK_LBUTTON, point_, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    effect = DROPEFFECT_MOVE;
    target_->Drop(&data, 0, point_, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(data.handedOut, 0) << "the list is not even fetched";
    EXPECT_TRUE(drops_.empty());
}

TEST_F(DropTargetTest, LeavingForgetsTheOffer) {
    FakeDataObject data(std::vector<std::wstring>{L"C:\\a.txt"});
    DWORD effect = DROPEFFECT_COPY;
    target_->DragEnter(&data, MK_LBUTTON, point_, &effect);
    EXPECT_EQ(target_->DragLeave(), S_OK);
    effect = DROPEFFECT_COPY;
    target_->DragOver(MK_LBUTTON, point_, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
}

TEST_F(DropTargetTest, AnswersAsIDropTargetOnly) {
    void* object = nullptr;
    EXPECT_EQ(target_->QueryInterface(IID_IDropTarget, &object), S_OK);
    EXPECT_EQ(object, static_cast<IDropTarget*>(target_));
    target_->Release();
    EXPECT_EQ(target_->QueryInterface(IID_IDataObject, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
}

}  // namespace
}  // namespace brevikon
