// Reading what the main window shows: its title, the status fields, the viewer's text and
// zoom, its sizes in device pixels; waiting until these read as a check needs them.
#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include <string>
#include <vector>

#include "app/platform/win32/menu_bar.h"
#include "driver.h"

namespace brevikon::e2e {

constexpr wchar_t MainWindowClass[] = L"BrevikonReaderMainWindow";

HWND AnyMainWindow() {
    return ::FindWindowW(MainWindowClass, nullptr);
}

HWND MainWindow() {
    const HWND window = AnyMainWindow();
    return window != nullptr && ::IsWindowVisible(window) ? window : nullptr;
}

DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    return process;
}

std::wstring WindowText(HWND window) {
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, MessageTimeoutMs,
                               &length)) {
        return L"<no answer>";
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                          SMTO_ABORTIFHUNG, MessageTimeoutMs, &copied);
    text.resize(copied);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

HWND StatusBarOf(HWND main) {
    return ::FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr);
}

HWND ViewerOf(HWND main) {
    for (const wchar_t* name : {L"RICHEDIT50W", L"RichEdit20W"}) {
        if (const HWND viewer = ::FindWindowExW(main, nullptr, name, nullptr)) return viewer;
    }
    return nullptr;
}

bool StatusText(HWND main, int field, std::wstring& text) {
    const HWND bar = StatusBarOf(main);
    if (bar == nullptr) return false;
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutW(bar, SB_GETTEXTLENGTHW, field, 0, SMTO_ABORTIFHUNG, MessageTimeoutMs,
                               &answer)) {
        return false;
    }
    const std::size_t length = LOWORD(answer);
    RemoteMemory memory(bar, (length + 1) * sizeof(wchar_t));
    if (!memory.ok()) return false;
    if (!::SendMessageTimeoutW(bar, SB_GETTEXTW, field, memory.address(), SMTO_ABORTIFHUNG,
                               MessageTimeoutMs, &answer)) {
        return false;
    }
    text.assign(length, L'\0');
    return memory.Read(0, text.data(), length * sizeof(wchar_t));
}

void PostCommand(HWND main, int commandId) {
    ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(Win32CommandId(commandId), 0), 0);
}

// A repaint is taken from the queue only when no posted message and no input waits before
// it; once the main window has painted what was invalidated here, all earlier input has been
// handled to its end. Its own client area, because the program never paints that at once;
// the status bar paints itself at once whenever its text changes.
bool WaitUntilHandled(HWND main, DWORD ms) {
    if (!::RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN)) return false;
    return WaitFor(
        ms, [&] { return !::GetUpdateRect(main, nullptr, FALSE); }, 1);
}

POINT ViewerCentre(HWND main) {
    RECT client{};
    ::GetClientRect(main, &client);
    POINT centre{(client.left + client.right) / 2, (client.top + client.bottom) / 2};
    ::ClientToScreen(main, &centre);
    return centre;
}

int WaitWindow(const Call& call) {
    HWND main = nullptr;
    if (!WaitFor(call.Wait(0), [&] { return (main = MainWindow()) != nullptr; })) {
        return Fail(L"no main window");
    }
    Print(L"pid=" + std::to_wstring(ProcessOf(main)));
    return 0;
}

// Until `read` gives `expected` from the shown main window; says what it gave otherwise.
template <class Read>
int WaitUntilReads(const std::wstring& what, const std::wstring& expected, DWORD ms, Read read) {
    std::wstring text;
    const bool ok = WaitFor(ms, [&] {
        const HWND main = MainWindow();
        return main != nullptr && read(main, text) && text == expected;
    });
    if (ok) return 0;
    return Fail(what + L" is \"" + text + L"\", expected \"" + expected + L"\"");
}

int WaitTitle(const Call& call) {
    return WaitUntilReads(L"title", call.words[0], call.Wait(1), [](HWND main, std::wstring& text) {
        text = WindowText(main);
        return true;
    });
}

int Status(HWND main, const Call& call) {
    std::wstring text;
    if (!StatusText(main, call.Number(0), text)) return Fail(L"no status bar");
    Print(text);
    return 0;
}

int WaitStatus(const Call& call) {
    return WaitUntilReads(
        L"field " + call.words[0], call.words[1], call.Wait(2),
        [&](HWND main, std::wstring& text) { return StatusText(main, call.Number(0), text); });
}

int StatusEdges(HWND main, const Call&) {
    const HWND bar = StatusBarOf(main);
    RemoteMemory memory(bar, 16 * sizeof(int));
    DWORD_PTR count = 0;
    if (!memory.ok() || !::SendMessageTimeoutW(bar, SB_GETPARTS, 16, memory.address(),
                                               SMTO_ABORTIFHUNG, MessageTimeoutMs, &count)) {
        return Fail(L"SB_GETPARTS");
    }
    std::vector<int> edges(count);
    memory.Read(0, edges.data(), count * sizeof(int));
    std::wstring line;
    for (const int edge : edges)
        line += (line.empty() ? L"" : L" ") + std::to_wstring(edge);
    Print(line);
    return 0;
}

int ViewerZoom(HWND main, const Call&) {
    const HWND viewer = ViewerOf(main);
    RemoteMemory memory(viewer, 2 * sizeof(int));
    DWORD_PTR ok = 0;
    if (!memory.ok() ||
        !::SendMessageTimeoutW(viewer, EM_GETZOOM, reinterpret_cast<WPARAM>(memory.at<int>(0)),
                               reinterpret_cast<LPARAM>(memory.at<int>(sizeof(int))),
                               SMTO_ABORTIFHUNG, MessageTimeoutMs, &ok)) {
        return Fail(L"EM_GETZOOM");
    }
    int ratio[2] = {};
    memory.Read(0, ratio, sizeof ratio);
    Print(std::to_wstring(ratio[0]) + L"/" + std::to_wstring(ratio[1]));
    return 0;
}

void PrintRect(const wchar_t* name, const RECT& rect) {
    Print(std::wstring(name) + L"=" + std::to_wstring(rect.left) + L" " +
          std::to_wstring(rect.top) + L" " + std::to_wstring(rect.right - rect.left) + L" " +
          std::to_wstring(rect.bottom - rect.top));
}

int Geometry(HWND main, const Call&) {
    const HDC screen = ::GetDC(nullptr);
    Print(L"dpi=" + std::to_wstring(::GetDeviceCaps(screen, LOGPIXELSX)) + L" " +
          std::to_wstring(::GetDeviceCaps(screen, LOGPIXELSY)));
    ::ReleaseDC(nullptr, screen);
    Print(L"screen=" + std::to_wstring(::GetSystemMetrics(SM_CXSCREEN)) + L" " +
          std::to_wstring(::GetSystemMetrics(SM_CYSCREEN)));
    Print(L"menu=" + std::to_wstring(::GetSystemMetrics(SM_CYMENU)));
    Print(L"grip=" + std::to_wstring(::GetSystemMetrics(SM_CXVSCROLL)));
    RECT rect{};
    ::GetWindowRect(main, &rect);
    PrintRect(L"window", rect);
    ::GetClientRect(main, &rect);
    PrintRect(L"client", rect);
    // The outer size that a client area of each size asks for, without menu bar, as the
    // checks need it.
    RECT frame{0, 0, 0, 0};
    ::AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    Print(L"frame=" + std::to_wstring(frame.right - frame.left) + L" " +
          std::to_wstring(frame.bottom - frame.top));
    for (const auto& [name, child] :
         {std::pair{L"viewer", ViewerOf(main)}, std::pair{L"statusbar", StatusBarOf(main)}}) {
        if (child == nullptr) continue;
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&rect), 2);
        PrintRect(name, rect);
    }
    return 0;
}

SIZE OuterSize(HWND main) {
    RECT rect{};
    ::GetWindowRect(main, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// The size changes inside the program's own handling; once it has handled everything sent
// so far, its children have followed too.
int Resize(HWND main, const Call& call) {
    ::SetWindowPos(main, nullptr, 0, 0, call.Number(0), call.Number(1), SWP_NOMOVE | SWP_NOZORDER);
    if (!WaitUntilHandled(main, DefaultWaitMs)) return Fail(L"the program did not answer");
    return Geometry(main, call);
}

int WaitSize(HWND main, const Call& call) {
    SIZE size{};
    const bool reached = WaitFor(call.Wait(2), [&] {
        size = OuterSize(main);
        return size.cx == call.Number(0) && size.cy == call.Number(1);
    });
    if (!reached || !WaitUntilHandled(main, DefaultWaitMs)) {
        return Fail(L"the window is " + std::to_wstring(size.cx) + L" x " +
                    std::to_wstring(size.cy));
    }
    return Geometry(main, call);
}

int Show(HWND main, const Call& call) {
    const std::wstring& how = call.words[0];
    const int command = how == L"maximize"   ? SW_MAXIMIZE
                        : how == L"minimize" ? SW_MINIMIZE
                                             : SW_RESTORE;
    ::ShowWindow(main, command);
    const bool reached = WaitFor(DefaultWaitMs, [&] {
        return (::IsZoomed(main) != FALSE) == (command == SW_MAXIMIZE) &&
               (::IsIconic(main) != FALSE) == (command == SW_MINIMIZE);
    });
    if (!reached || !WaitUntilHandled(main, DefaultWaitMs))
        return Fail(L"the window is not " + how);
    return 0;
}

}  // namespace brevikon::e2e
