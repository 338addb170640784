// Drag and drop: the driver plays the part of Explorer. It offers a file list, holds the
// cursor over the main window and lets go at once, so the program sees a real OLE drop.
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "driver.h"

namespace brevikon::e2e {

namespace {

// The IUnknown of an object on the driver's stack, which outlives the drop.
template <class Interface, const IID& Iid>
class StackObject : public Interface {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        const bool known = riid == IID_IUnknown || riid == Iid;
        *object = known ? static_cast<Interface*>(this) : nullptr;
        return known ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

class FileListData final : public StackObject<IDataObject, IID_IDataObject> {
  public:
    explicit FileListData(std::vector<std::wstring> files) : files_(std::move(files)) {}

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
        // The list as Explorer hands it over: DROPFILES, wide names, two NULs at the end.
        std::vector<wchar_t> list;
        for (const std::wstring& file : files_) {
            list.insert(list.end(), file.begin(), file.end());
            list.push_back(L'\0');
        }
        list.push_back(L'\0');
        const std::size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
        const HGLOBAL block = ::GlobalAlloc(GHND, bytes);
        auto* header = static_cast<DROPFILES*>(::GlobalLock(block));
        header->pFiles = sizeof(DROPFILES);
        header->fWide = TRUE;
        std::memcpy(header + 1, list.data(), list.size() * sizeof(wchar_t));
        ::GlobalUnlock(block);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = block;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return format != nullptr && format->cfFormat == CF_HDROP &&
                       (format->tymed & TYMED_HGLOBAL) != 0
                   ? S_OK
                   : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out != nullptr) out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
        if (direction != DATADIR_GET) return E_NOTIMPL;
        FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return ::SHCreateStdEnumFmtEtc(1, &format, out);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

  private:
    std::vector<std::wstring> files_;
};

// Lets go of the mouse button at once: the cursor already rests over the target.
class ImmediateDropSource final : public StackObject<IDropSource, IID_IDropSource> {
  public:
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD) override {
        return escape ? DRAGDROP_S_CANCEL : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

}  // namespace

HRESULT DropFiles(HWND main, std::vector<std::wstring> files, DWORD& effect) {
    if (FAILED(::OleInitialize(nullptr))) return E_FAIL;
    PointAtViewer(main);
    FileListData data(std::move(files));
    ImmediateDropSource source;
    effect = DROPEFFECT_NONE;
    const HRESULT result =
        ::DoDragDrop(&data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect);
    ::OleUninitialize();
    return result;
}

// Returns once the program has handled the drop, so that a check after it sees its outcome.
int Drop(HWND main, const Call& call) {
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT result = DropFiles(main, call.words, effect);
    if (result != DRAGDROP_S_DROP) return Fail(L"DoDragDrop gave " + std::to_wstring(result));
    Print(L"effect=" + std::to_wstring(effect));
    if (effect != DROPEFFECT_COPY) return Fail(L"not a copy");
    return WaitUntilHandled(main, DefaultWaitMs) ? 0 : Fail(L"the program did not answer");
}

}  // namespace brevikon::e2e
