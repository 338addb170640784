// Reading what the main window shows: its title, the status fields, the viewer's text and
// zoom, its sizes in device pixels; waiting until these read as a check needs them.
#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include <initializer_list>
#include <string>

#include "app/platform/win32/menu_bar.h"
#include "app/title_status.h"
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

bool Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* answer) {
    DWORD_PTR ignored = 0;
    return ::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG,
                                 MessageTimeoutMs, answer != nullptr ? answer : &ignored) != 0;
}

std::wstring WindowText(HWND window) {
    DWORD_PTR length = 0;
    if (!Ask(window, WM_GETTEXTLENGTH, 0, 0, &length)) return L"<no answer>";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    Ask(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), &copied);
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
    DWORD_PTR length = 0;
    if (bar == nullptr || !Ask(bar, SB_GETTEXTLENGTHW, field, 0, &length)) return false;
    // With room for the terminating zero, which SB_GETTEXTW writes too.
    text.assign(LOWORD(length) + 1, L'\0');
    const bool read =
        WithRemoteMemory(bar, text.size() * sizeof(wchar_t), text.data(), [&](char* remote) {
            return Ask(bar, SB_GETTEXTW, field, reinterpret_cast<LPARAM>(remote));
        });
    text.pop_back();
    return read;
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

int WaitStatus(const Call& call) {
    return WaitUntilReads(
        L"field " + call.words[0], call.words[1], call.Wait(2),
        [&](HWND main, std::wstring& text) { return StatusText(main, call.Number(0), text); });
}

int StatusEdges(HWND main, const Call&) {
    const HWND bar = StatusBarOf(main);
    int edges[16] = {};
    DWORD_PTR count = 0;
    if (!WithRemoteMemory(bar, sizeof edges, edges, [&](char* remote) {
            return Ask(bar, SB_GETPARTS, 16, reinterpret_cast<LPARAM>(remote), &count);
        })) {
        return Fail(L"SB_GETPARTS");
    }
    std::wstring line;
    for (DWORD_PTR i = 0; i < count; ++i)
        line += (i == 0 ? L"" : L" ") + std::to_wstring(edges[i]);
    Print(line);
    return 0;
}

// The zoom field, then the viewer's zoom as numerator/denominator: "Zoom 110 %|110/100".
int Zoom(HWND main, const Call&) {
    const HWND viewer = ViewerOf(main);
    int ratio[2] = {};
    std::wstring field;
    if (!StatusText(main, StatusFieldZoom, field) ||
        !WithRemoteMemory(viewer, sizeof ratio, ratio, [&](char* remote) {
            return Ask(viewer, EM_GETZOOM, reinterpret_cast<WPARAM>(remote),
                       reinterpret_cast<LPARAM>(remote + sizeof(int)));
        })) {
        return Fail(L"no zoom field or EM_GETZOOM");
    }
    Print(field + L"|" + std::to_wstring(ratio[0]) + L"/" + std::to_wstring(ratio[1]));
    return 0;
}

// NAME=A B ..., as the checks read it.
void PrintNumbers(const wchar_t* name, std::initializer_list<long> numbers) {
    std::wstring line = std::wstring(name) + L"=";
    for (const long number : numbers)
        line += (line.back() == L'=' ? L"" : L" ") + std::to_wstring(number);
    Print(line);
}

void PrintRect(const wchar_t* name, const RECT& rect) {
    PrintNumbers(name, {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top});
}

int Geometry(HWND main, const Call&) {
    const HDC screen = ::GetDC(nullptr);
    PrintNumbers(L"dpi",
                 {::GetDeviceCaps(screen, LOGPIXELSX), ::GetDeviceCaps(screen, LOGPIXELSY)});
    ::ReleaseDC(nullptr, screen);
    PrintNumbers(L"screen", {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)});
    PrintNumbers(L"menu", {::GetSystemMetrics(SM_CYMENU)});
    PrintNumbers(L"grip", {::GetSystemMetrics(SM_CXVSCROLL)});
    // The outer size that a client area of each size asks for, without menu bar, as the
    // checks need it.
    RECT frame{0, 0, 0, 0};
    ::AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    PrintNumbers(L"frame", {frame.right - frame.left, frame.bottom - frame.top});
    RECT rect{};
    ::GetWindowRect(main, &rect);
    PrintRect(L"window", rect);
    ::GetClientRect(main, &rect);
    PrintRect(L"client", rect);
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
    const bool maximize = call.words[0] == L"maximize";
    ::ShowWindow(main, maximize ? SW_MAXIMIZE : SW_RESTORE);
    if (!WaitFor(DefaultWaitMs, [&] { return (::IsZoomed(main) != FALSE) == maximize; }) ||
        !WaitUntilHandled(main, DefaultWaitMs)) {
        return Fail(L"the window is not " + call.words[0]);
    }
    return 0;
}

}  // namespace brevikon::e2e
