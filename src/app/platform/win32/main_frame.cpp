#include "app/platform/win32/main_frame.h"

#include <commctrl.h>

#include <algorithm>

#include "app/platform/win32/menu_bar.h"
#include "app/platform/win32/status_layout.h"
#include "app/platform/win32/wide_text.h"

namespace brevikon {

namespace {

constexpr wchar_t MainWindowClass[] = L"BrevikonReaderMainWindow";
// The program's icon: icon group 1 of its resources.
constexpr WORD ProgramIconId = 1;
constexpr int StatusBarId = 1;

void Record(MainFrame& frame, AppEvent event) {
    // A drag of the border sends many sizes; the application needs to hear of the last.
    if (event.kind == AppEventKind::Size && !frame.events.empty() &&
        frame.events.back().kind == AppEventKind::Size) {
        return;
    }
    frame.events.push_back(std::move(event));
}

// Fine wheels and touch pads send parts of a notch; they add up to whole zoom steps.
void RecordWheelZoom(MainFrame& frame, int delta) {
    frame.wheelRemainder += delta;
    const int notches = frame.wheelRemainder / WHEEL_DELTA;
    frame.wheelRemainder -= notches * WHEEL_DELTA;
    if (notches != 0) Record(frame, {AppEventKind::WheelZoom, notches, {}});
}

// Ctrl as the message says, or as the key state the rich-edit control reads says: the two
// can disagree under load, and the control must never see a wheel it would zoom by itself.
bool IsWheelZoom(UINT message, WPARAM wParam) {
    return message == WM_MOUSEWHEEL &&
           ((GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) != 0 || ::GetKeyState(VK_CONTROL) < 0);
}

MainFrame* FrameOf(HWND window) {
    return reinterpret_cast<MainFrame*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK ViewerProc(HWND viewer, UINT message, WPARAM wParam, LPARAM lParam) {
    // The viewer lives and dies inside the main window, whose frame knows its procedure.
    MainFrame* frame = FrameOf(::GetParent(viewer));
    if (IsWheelZoom(message, wParam)) {
        RecordWheelZoom(*frame, GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    }
    return ::CallWindowProcW(frame->viewerProc, viewer, message, wParam, lParam);
}

// The client area's height above the status bar, in pixels; all of it without a status bar.
int ClientHeightAboveStatusBar(const MainFrame& frame) {
    RECT client{};
    ::GetClientRect(frame.window, &client);
    if (frame.statusBar == nullptr || !::IsWindowVisible(frame.statusBar)) return client.bottom;
    RECT bar{};
    ::GetWindowRect(frame.statusBar, &bar);
    POINT top{bar.left, bar.top};
    ::ScreenToClient(frame.window, &top);
    return top.y < 0 ? 0 : top.y;
}

void FollowWithViewer(const MainFrame& frame) {
    if (frame.viewer == nullptr || !frame.viewerSpansInner) return;
    const RECT bounds = ViewerRect(frame, 0, 0, MainFrameInnerSize(frame));
    ::MoveWindow(frame.viewer, bounds.left, bounds.top, bounds.right - bounds.left,
                 bounds.bottom - bounds.top, TRUE);
}

LRESULT CALLBACK MainFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        // The one pointer Win32 forces on us: the frame travels with its window.
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    MainFrame* frame = FrameOf(window);
    if (frame == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);

    switch (message) {
        case WM_CLOSE:
            // Only asked for: the application decides, and destroys the window itself.
            Record(*frame, {AppEventKind::Close, 0, {}});
            return 0;
        case WM_SIZE:
            LayOutStatusBar(*frame);
            if (wParam != SIZE_MINIMIZED) {
                FollowWithViewer(*frame);
                Record(*frame, {AppEventKind::Size, 0, {}});
            }
            return 0;
        case WM_COMMAND:
            // Menu items and shortcuts come without a control handle. Controls report
            // through WM_COMMAND as well (the viewer, id 0, on focus changes); those are
            // not commands.
            if (lParam == 0) {
                Record(*frame, {AppEventKind::Command, CommandIdOf(LOWORD(wParam)), {}});
                return 0;
            }
            break;
        case WM_MOUSEWHEEL:
            // Over the status bar, which passes the wheel on to its parent, or while the
            // window itself has the focus.
            if (IsWheelZoom(message, wParam)) {
                RecordWheelZoom(*frame, GET_WHEEL_DELTA_WPARAM(wParam));
                return 0;
            }
            break;
        case WM_GETMINMAXINFO:
            if (frame->minimumOuter.width > 0 || frame->minimumOuter.height > 0) {
                auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
                info->ptMinTrackSize.x = frame->minimumOuter.width;
                info->ptMinTrackSize.y = frame->minimumOuter.height;
                return 0;
            }
            break;
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExW(instance, MainWindowClass, &existing)) return true;

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = MainFrameProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(ProgramIconId));
    // The caption wants the small size drawn for it, not the large one squeezed.
    windowClass.hIconSm = static_cast<HICON>(::LoadImageW(
        instance, MAKEINTRESOURCEW(ProgramIconId), IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
        ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = MainWindowClass;
    return ::RegisterClassExW(&windowClass) != 0;
}

}  // namespace

bool OpenMainFrame(MainFrame& frame, std::u16string_view title, Extent inner) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    if (!RegisterMainWindowClass(instance)) return false;

    const PixelSize outer =
        OuterSizeForInner(ToPixels(inner, frame.scale), MainWindowStyle, MainWindowExStyle);
    const int x = CentredOrigin(outer.width, ::GetSystemMetrics(SM_CXSCREEN));
    const int y = CentredOrigin(outer.height, ::GetSystemMetrics(SM_CYSCREEN));
    const std::wstring caption = Wide(title);
    frame.window =
        ::CreateWindowExW(MainWindowExStyle, MainWindowClass, caption.c_str(), MainWindowStyle, x,
                          y, outer.width, outer.height, nullptr, nullptr, instance, &frame);
    if (frame.window == nullptr) return false;
    ::ShowWindow(frame.window, SW_SHOWNORMAL);
    ::UpdateWindow(frame.window);
    return true;
}

Extent MainFrameInnerSize(const MainFrame& frame) {
    RECT client{};
    if (frame.window != nullptr) ::GetClientRect(frame.window, &client);
    const bool hasMenuBar = frame.window != nullptr && ::GetMenu(frame.window) != nullptr;
    return InnerSizeInUnits({client.right - client.left, client.bottom - client.top}, hasMenuBar,
                            ::GetSystemMetrics(SM_CYMENU), frame.scale);
}

RECT ViewerRect(const MainFrame& frame, std::int64_t x, std::int64_t y, Extent size) {
    const PixelSize pixels = ToPixels(size, frame.scale);
    RECT bounds{static_cast<LONG>(UnitsToPixels(x, frame.scale.dpiX)),
                static_cast<LONG>(UnitsToPixels(y, frame.scale.dpiY)), 0, 0};
    bounds.right = bounds.left + pixels.width;
    const LONG bottom =
        std::min<LONG>(bounds.top + pixels.height, ClientHeightAboveStatusBar(frame));
    bounds.bottom = std::max<LONG>(bottom, bounds.top);
    return bounds;
}

void CatchViewerWheelZoom(MainFrame& frame, HWND viewer) {
    if (viewer == nullptr || ::GetParent(viewer) != frame.window) return;
    frame.viewerProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(viewer, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ViewerProc)));
}

void CreateMainStatusBar(MainFrame& frame, std::vector<std::int64_t> fieldWidths) {
    frame.statusFieldWidths = std::move(fieldWidths);
    frame.statusBar = ::CreateStatusWindowW(WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, L"",
                                            frame.window, StatusBarId);
    LayOutStatusBar(frame);
}

void LayOutStatusBar(MainFrame& frame) {
    if (frame.statusBar == nullptr) return;
    // The bar places itself at the bottom of its parent when told of a size change.
    ::SendMessageW(frame.statusBar, WM_SIZE, 0, 0);
    RECT bar{};
    ::GetClientRect(frame.statusBar, &bar);
    const int reserve = StatusRightReserve(::IsZoomed(frame.window) != FALSE, frame.scale.dpiX,
                                           ::GetSystemMetrics(SM_CXVSCROLL));
    std::vector<int> edges =
        StatusPartEdges(frame.statusFieldWidths, bar.right - bar.left, frame.scale.dpiX, reserve);
    if (edges.empty()) return;
    ::SendMessageW(frame.statusBar, SB_SETPARTS, edges.size(),
                   reinterpret_cast<LPARAM>(edges.data()));
}

void DestroyMainFrame(MainFrame& frame) {
    if (frame.window != nullptr) ::DestroyWindow(frame.window);
    frame.window = nullptr;
    frame.statusBar = nullptr;
    frame.viewer = nullptr;
    frame.viewerSpansInner = false;
    frame.viewerProc = nullptr;
    frame.wheelRemainder = 0;
    // The menu bar went with the window.
    frame.menuBar = nullptr;
    if (frame.shortcuts != nullptr) ::DestroyAcceleratorTable(frame.shortcuts);
    frame.shortcuts = nullptr;
}

}  // namespace brevikon
