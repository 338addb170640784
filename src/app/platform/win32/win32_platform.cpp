#include "app/platform/win32/win32_platform.h"

#include <commctrl.h>
#include <ole2.h>
#include <richedit.h>

#include "app/platform/win32/drop_target.h"
#include "app/platform/win32/menu_bar.h"
#include "app/platform/win32/user_dialogs.h"
#include "app/platform/win32/wide_text.h"
#include "files/file_access.h"

namespace brevikon {

namespace {

// The one viewer, whichever control currently is it (see FreshViewer).
constexpr ControlHandle TheViewer = static_cast<ControlHandle>(1);

HMODULE ToModule(LibraryHandle library) {
    return reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(library));
}

}  // namespace

Win32Platform::~Win32Platform() {
    RevokeFileDrop();
}

void Win32Platform::Initialize() {
    // The C runtime's locale stays "C" on purpose: the conversion must give the same bytes as
    // the command-line converter, whatever the user's regional settings.
    oleReady_ = SUCCEEDED(::OleInitialize(nullptr));
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    if (const HDC screen = ::GetDC(nullptr)) {
        frame_.scale.dpiX = ::GetDeviceCaps(screen, LOGPIXELSX);
        frame_.scale.dpiY = ::GetDeviceCaps(screen, LOGPIXELSY);
        ::ReleaseDC(nullptr, screen);
    }
}

void Win32Platform::Shutdown() {
    DestroyMainWindow();
    if (richEdit_.module != nullptr) ::FreeLibrary(richEdit_.module);
    richEdit_ = {};
    if (oleReady_) ::OleUninitialize();
    oleReady_ = false;
}

std::u16string Win32Platform::CommandLine() {
    return Utf16(::GetCommandLineW());
}

bool Win32Platform::OpenMainWindow(std::u16string_view title, Extent inner) {
    return OpenMainFrame(frame_, title, inner);
}

void Win32Platform::SetMinimumInnerSize(Extent inner) {
    frame_.minimumOuter =
        OuterSizeForInner(ToPixels(inner, frame_.scale), MainWindowStyle, MainWindowExStyle);
}

Extent Win32Platform::InnerSize() {
    return MainFrameInnerSize(frame_);
}

void Win32Platform::DestroyMainWindow() {
    // A copy from the viewer sits on the clipboard as an object of the rich-edit library.
    // Its data go onto the clipboard itself while the library is loaded: the copy outlives
    // the program, and OLE's shutdown has nothing left to call in the freed library.
    if (oleReady_) ::OleFlushClipboard();
    RevokeFileDrop();
    DestroyMainFrame(frame_);
}

void Win32Platform::SetTitle(std::u16string_view title) {
    const std::wstring text = Wide(title);
    ::SetWindowTextW(frame_.window, text.c_str());
}

void Win32Platform::SetMenuBar(std::span<const Menu> menus) {
    const HMENU bar = BuildMenuBar(menus);
    if (bar == nullptr) return;
    const HMENU previous = ::GetMenu(frame_.window);
    ::SetMenu(frame_.window, bar);
    if (previous != nullptr) ::DestroyMenu(previous);
    frame_.menuBar = bar;
}

void Win32Platform::SetShortcuts(std::span<const Shortcut> shortcuts) {
    if (frame_.shortcuts != nullptr) ::DestroyAcceleratorTable(frame_.shortcuts);
    frame_.shortcuts = BuildShortcutTable(shortcuts);
}

void Win32Platform::SetMenuCheck(int id, bool checked) {
    SetMenuCheckMark(frame_.menuBar, id, checked);
}

void Win32Platform::CreateStatusBar(std::span<const std::int64_t> fieldWidths) {
    CreateMainStatusBar(frame_, {fieldWidths.begin(), fieldWidths.end()});
}

void Win32Platform::SetStatusText(int field, std::u16string_view text) {
    if (frame_.statusBar == nullptr) return;
    const std::wstring wide = Wide(text);
    ::SendMessageW(frame_.statusBar, SB_SETTEXTW, static_cast<WPARAM>(field),
                   reinterpret_cast<LPARAM>(wide.c_str()));
}

void Win32Platform::ShowMessage(std::u16string_view text, std::u16string_view title,
                                MessageIcon icon) {
    ShowMessageBox(frame_.window, text, title, icon);
}

std::u16string Win32Platform::ShowOpenDialog(std::u16string_view title,
                                             std::u16string_view defaultPath,
                                             std::u16string_view filter) {
    return ShowFileDialog(FileDialogKind::Open, frame_.window, title, defaultPath, filter);
}

std::u16string Win32Platform::ShowSaveDialog(std::u16string_view title,
                                             std::u16string_view defaultPath,
                                             std::u16string_view filter) {
    return ShowFileDialog(FileDialogKind::Save, frame_.window, title, defaultPath, filter);
}

std::u16string Win32Platform::LowerCase(std::u16string_view text) {
    if (text.empty()) return {};
    std::wstring lower = Wide(text);
    ::CharLowerW(lower.data());
    return Utf16(lower);
}

void Win32Platform::RegisterFileDrop() {
    if (!oleReady_ || frame_.window == nullptr || dropTarget_ != nullptr) return;
    dropTarget_ = new FileDropTarget([this](std::u16string names) {
        frame_.events.push_back({AppEventKind::Drop, 0, std::move(names)});
    });
    if (FAILED(::RegisterDragDrop(frame_.window, dropTarget_))) {
        dropTarget_->Release();
        dropTarget_ = nullptr;
    }
}

void Win32Platform::RevokeFileDrop() {
    if (dropTarget_ == nullptr) return;
    if (frame_.window != nullptr) ::RevokeDragDrop(frame_.window);
    dropTarget_->Release();
    dropTarget_ = nullptr;
}

AppEvent Win32Platform::WaitForEvent() {
    while (frame_.events.empty()) {
        MSG message;
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        // WM_QUIT, or a broken queue: the window system is done with us.
        if (got == 0 || got == -1) return {AppEventKind::Close, 0, {}};
        // Shortcuts first, whichever control has the focus; the control never sees the key.
        if (frame_.shortcuts != nullptr && frame_.window != nullptr &&
            ::TranslateAcceleratorW(frame_.window, frame_.shortcuts, &message)) {
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    AppEvent event = std::move(frame_.events.front());
    frame_.events.pop_front();
    return event;
}

LibraryHandle Win32Platform::LoadRichTextLibrary() {
    richEdit_ = LoadRichEditLibrary();
    return static_cast<LibraryHandle>(reinterpret_cast<std::uintptr_t>(richEdit_.module));
}

void Win32Platform::ReleaseRichTextLibrary(LibraryHandle library) {
    if (library == NoLibrary) return;
    ::FreeLibrary(ToModule(library));
    if (ToModule(library) == richEdit_.module) richEdit_ = {};
}

ControlHandle Win32Platform::CreateViewerControl(LibraryHandle library, Extent size) {
    if (library == NoLibrary || ToModule(library) != richEdit_.module) return NoControl;
    const HWND viewer =
        CreateViewerWindow(richEdit_, frame_.window, ViewerRect(frame_, 0, 0, size));
    if (viewer == nullptr) return NoControl;
    CatchViewerWheelZoom(frame_, viewer);
    NoteViewerPlace(viewer, 0, 0, size);
    return TheViewer;
}

HWND Win32Platform::Viewer(ControlHandle control) const {
    return control == NoControl ? nullptr : frame_.viewer;
}

// Wine's rich edit takes time growing with the square of the content to delete it: closing a
// 1 MiB document took 32 s, a 32 MiB one would take hours. A new control holds nothing and
// costs milliseconds, so a replaced content goes into a new control made like the old one,
// which goes after it. An empty control is kept.
HWND Win32Platform::FreshViewer() {
    const HWND old = frame_.viewer;
    GETTEXTLENGTHEX length{GTL_NUMCHARS, 1200};
    if (old == nullptr ||
        ::SendMessageW(old, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0) <= 0) {
        return old;
    }
    RECT bounds{};
    ::GetWindowRect(old, &bounds);
    ::MapWindowPoints(nullptr, frame_.window, reinterpret_cast<POINT*>(&bounds), 2);
    const HWND fresh = CreateViewerWindow(richEdit_, frame_.window, bounds);
    if (fresh == nullptr) return old;  // then the old one is emptied in place
    ::SendMessageW(fresh, EM_EXLIMITTEXT, 0, ::SendMessageW(old, EM_GETLIMITTEXT, 0, 0));
    ::SendMessageW(fresh, EM_SETREADONLY, (::GetWindowLongW(old, GWL_STYLE) & ES_READONLY) != 0, 0);
    WPARAM numerator = 0;
    LPARAM denominator = 0;
    ::SendMessageW(old, EM_GETZOOM, reinterpret_cast<WPARAM>(&numerator),
                   reinterpret_cast<LPARAM>(&denominator));
    ::SendMessageW(fresh, EM_SETZOOM, numerator, denominator);
    CatchViewerWheelZoom(frame_, fresh);
    ::SetWindowPos(fresh, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const bool focused = ::GetFocus() == old;
    frame_.viewer = fresh;
    // A copy from the old control must not outlive its editor on the clipboard as an object.
    if (oleReady_) ::OleFlushClipboard();
    ::DestroyWindow(old);
    if (focused) ::SetFocus(fresh);
    return fresh;
}

void Win32Platform::SetViewerTextLimit(ControlHandle control, std::int64_t characters) {
    ::SendMessageW(Viewer(control), EM_EXLIMITTEXT, 0, static_cast<LPARAM>(characters));
}

void Win32Platform::SetViewerReadOnly(ControlHandle control, bool readOnly) {
    ::SendMessageW(Viewer(control), EM_SETREADONLY, readOnly ? 1 : 0, 0);
}

bool Win32Platform::SetViewerRtf(ControlHandle control, const char* rtf) {
    if (Viewer(control) == nullptr) return false;
    return LoadViewerRtf(FreshViewer(), rtf);
}

void Win32Platform::SetViewerText(ControlHandle control, std::u16string_view text) {
    const std::wstring wide = Wide(text);
    if (Viewer(control) == nullptr) return;
    ::SetWindowTextW(FreshViewer(), wide.c_str());
}

void Win32Platform::SetViewerZoom(ControlHandle control, std::int64_t numerator,
                                  std::int64_t denominator) {
    ::SendMessageW(Viewer(control), EM_SETZOOM, static_cast<WPARAM>(numerator),
                   static_cast<LPARAM>(denominator));
}

void Win32Platform::ScrollViewerToTop(ControlHandle control) {
    ::SendMessageW(Viewer(control), WM_VSCROLL, SB_TOP, 0);
}

void Win32Platform::MoveViewer(ControlHandle control, std::int64_t x, std::int64_t y, Extent size) {
    const RECT bounds = ViewerRect(frame_, x, y, size);
    ::MoveWindow(Viewer(control), bounds.left, bounds.top, bounds.right - bounds.left,
                 bounds.bottom - bounds.top, TRUE);
    NoteViewerPlace(Viewer(control), x, y, size);
}

void Win32Platform::NoteViewerPlace(HWND viewer, std::int64_t x, std::int64_t y, Extent size) {
    const Extent inner = InnerSize();
    frame_.viewer = viewer;
    frame_.viewerSpansInner =
        x == 0 && y == 0 && size.width == inner.width && size.height == inner.height;
}

}  // namespace brevikon
