// Drag and drop: the test plays the part of Explorer. It offers a file list, holds the cursor
// over the main window and lets go at once, so the program sees a real OLE drop.
#include "reader_fixture.h"

#include <shlobj.h>

#include <cstring>

namespace brevikon::e2e {

namespace {

// The file list and the source of the drag in one, on the test's stack, which outlives the
// drop. The program asks for nothing but the list as Explorer hands it over.
class ExplorerDrag final : public IDataObject, public IDropSource {
  public:
    explicit ExplorerDrag(const std::vector<std::wstring>& files) : files_(files) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        *object = riid == IID_IDropSource ? static_cast<void*>(static_cast<IDropSource*>(this))
                  : riid == IID_IUnknown || riid == IID_IDataObject
                      ? static_cast<IDataObject*>(this)
                      : nullptr;
        return *object != nullptr ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    // DROPFILES, then the wide names, each ended by a NUL, and one NUL more.
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
        std::wstring list;
        for (const std::wstring& file : files_)
            list += file + L'\0';
        // Zeroed: the last NUL.
        const HGLOBAL block =
            ::GlobalAlloc(GHND, sizeof(DROPFILES) + (list.size() + 1) * sizeof(wchar_t));
        auto* header = static_cast<DROPFILES*>(::GlobalLock(block));
        header->pFiles = sizeof(DROPFILES);
        header->fWide = TRUE;
        std::memcpy(header + 1, list.data(), list.size() * sizeof(wchar_t));
        ::GlobalUnlock(block);
        *medium = {};
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = block;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        const bool list = format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) != 0;
        return list ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

    // Lets go of the mouse button at once: the cursor already rests over the target.
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD) override {
        return escape ? DRAGDROP_S_CANCEL : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

  private:
    const std::vector<std::wstring>& files_;
};

}  // namespace

DWORD DropFiles(HWND main, const std::vector<std::wstring>& files) {
    if (FAILED(::OleInitialize(nullptr))) return DROPEFFECT_NONE;
    PointAtViewer(main);
    ExplorerDrag drag(files);
    DWORD effect = DROPEFFECT_NONE;
    // A key message counts as a change of state at once, where the tracker would otherwise
    // wait for its next timer tick.
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_KEYUP, VK_SHIFT, 0);
    const HRESULT result =
        ::DoDragDrop(&drag, &drag, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect);
    ::OleUninitialize();
    return result == DRAGDROP_S_DROP && WaitUntilHandled(main) ? effect : DROPEFFECT_NONE;
}

}  // namespace brevikon::e2e
