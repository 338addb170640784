#pragma once
// The main window as an OLE drop target for file lists. A drop is only recorded here; the
// application handles it after the OLE call has returned, so no message box ever opens
// while the dragging program waits for the drop to finish.
#include <windows.h>

#include <ole2.h>

#include <functional>
#include <string>

namespace brevikon {

class FileDropTarget final : public IDropTarget {
  public:
    using DropHandler = std::function<void(std::u16string names)>;

    explicit FileDropTarget(DropHandler onDrop);
    FileDropTarget(const FileDropTarget&) = delete;
    FileDropTarget& operator=(const FileDropTarget&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDropTarget
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point,
                                        DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point,
                                   DWORD* effect) override;

  private:
    ~FileDropTarget() = default;
    // Copy if the source allows it and offers file names; nothing otherwise.
    DWORD EffectFor(DWORD allowed) const;

    LONG references_ = 1;
    bool offersFiles_ = false;
    DropHandler onDrop_;
};

}  // namespace brevikon
