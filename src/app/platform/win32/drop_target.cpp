#include "app/platform/win32/drop_target.h"

#include <shellapi.h>

#include "app/platform/win32/dropped_names.h"

namespace brevikon {

namespace {

FORMATETC FileListFormat() {
    return FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

bool OffersFileList(IDataObject* data) {
    FORMATETC format = FileListFormat();
    return data != nullptr && data->QueryGetData(&format) == S_OK;
}

}  // namespace

FileDropTarget::FileDropTarget(DropHandler onDrop) : onDrop_(std::move(onDrop)) {}

HRESULT FileDropTarget::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDropTarget) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG FileDropTarget::AddRef() {
    return static_cast<ULONG>(::InterlockedIncrement(&references_));
}

ULONG FileDropTarget::Release() {
    const LONG left = ::InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

DWORD FileDropTarget::EffectFor(DWORD allowed) const {
    return offersFiles_ && (allowed & DROPEFFECT_COPY) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
}

HRESULT FileDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    offersFiles_ = OffersFileList(data);
    if (effect != nullptr) *effect = EffectFor(*effect);
    return S_OK;
}

HRESULT FileDropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
    if (effect != nullptr) *effect = EffectFor(*effect);
    return S_OK;
}

HRESULT FileDropTarget::DragLeave() {
    offersFiles_ = false;
    return S_OK;
}

HRESULT FileDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    offersFiles_ = OffersFileList(data);
    const DWORD result = effect != nullptr ? EffectFor(*effect) : DROPEFFECT_NONE;
    if (effect != nullptr) *effect = result;
    if (result == DROPEFFECT_NONE) return S_OK;

    FORMATETC format = FileListFormat();
    STGMEDIUM medium{};
    if (data->GetData(&format, &medium) != S_OK) {
        if (effect != nullptr) *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    std::u16string names;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal != nullptr) {
        names = JoinDroppedNames(static_cast<HDROP>(medium.hGlobal));
    }
    ::ReleaseStgMedium(&medium);
    offersFiles_ = false;
    onDrop_(std::move(names));
    return S_OK;
}

}  // namespace brevikon
