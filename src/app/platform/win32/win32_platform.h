#pragma once
// The viewer's platform on Windows: each operation a few Win32 calls on the main window,
// its controls, the dialogs and the file system.
#include <windows.h>

#include "app/platform/platform.h"
#include "app/platform/win32/main_frame.h"
#include "app/platform/win32/viewer_control.h"

namespace brevikon {

class FileDropTarget;

class Win32Platform final : public Platform {
  public:
    Win32Platform() = default;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;
    ~Win32Platform() override;

    void Initialize() override;
    void Shutdown() override;
    std::u16string CommandLine() override;

    bool OpenMainWindow(std::u16string_view title, Extent inner) override;
    void SetMinimumInnerSize(Extent inner) override;
    Extent InnerSize() override;
    void DestroyMainWindow() override;
    void SetTitle(std::u16string_view title) override;

    void SetMenuBar(std::span<const Menu> menus) override;
    void SetShortcuts(std::span<const Shortcut> shortcuts) override;
    void SetMenuCheck(int id, bool checked) override;

    void CreateStatusBar(std::span<const std::int64_t> fieldWidths) override;
    void SetStatusText(int field, std::u16string_view text) override;

    void ShowMessage(std::u16string_view text, std::u16string_view title,
                     MessageIcon icon) override;
    std::u16string ShowOpenDialog(std::u16string_view title, std::u16string_view defaultPath,
                                  std::u16string_view filter) override;
    std::u16string ShowSaveDialog(std::u16string_view title, std::u16string_view defaultPath,
                                  std::u16string_view filter) override;

    std::u16string LowerCase(std::u16string_view text) override;

    void RegisterFileDrop() override;
    AppEvent WaitForEvent() override;

    LibraryHandle LoadRichTextLibrary() override;
    void ReleaseRichTextLibrary(LibraryHandle library) override;
    ControlHandle CreateViewerControl(LibraryHandle library, Extent size) override;
    void SetViewerTextLimit(ControlHandle control, std::int64_t characters) override;
    void SetViewerReadOnly(ControlHandle control, bool readOnly) override;
    bool SetViewerRtf(ControlHandle control, const char* rtf) override;
    void SetViewerText(ControlHandle control, std::u16string_view text) override;
    void SetViewerZoom(ControlHandle control, std::int64_t numerator,
                       std::int64_t denominator) override;
    void ScrollViewerToTop(ControlHandle control) override;
    void MoveViewer(ControlHandle control, std::int64_t x, std::int64_t y, Extent size) override;

  private:
    // The viewer's window for the application's handle; none for NoControl.
    HWND Viewer(ControlHandle control) const;
    // The viewer, emptied for a new content: a new control in place of one that holds text.
    HWND FreshViewer();
    // Remembers where the application put the viewer, so that it can follow resizes.
    void NoteViewerPlace(HWND viewer, std::int64_t x, std::int64_t y, Extent size);
    void RevokeFileDrop();

    MainFrame frame_;
    RichEditLibrary richEdit_;
    FileDropTarget* dropTarget_ = nullptr;
    bool oleReady_ = false;
};

}  // namespace brevikon
