// Sizes in device pixels: the display, the window, its client area and children, and
// changes of size the way the system makes them.
#include <windows.h>

#include <string>

#include "driver.h"

namespace brevikon::e2e {

namespace {

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

constexpr Command Rows[] = {
    {L"geometry", L"", L"sizes in device pixels, one NAME=VALUE per line", OnWindow<Geometry>},
    {L"resize", L"WIDTH HEIGHT", L"asks for this outer size in pixels, then prints geometry",
     OnWindow<Resize>},
    {L"wait-size", L"WIDTH HEIGHT [MS]", L"until the outer size is this, then prints geometry",
     OnWindow<WaitSize>},
    {L"show", L"maximize|restore|minimize", L"shows the window so, once it is", OnWindow<Show>},
};

}  // namespace

std::span<const Command> GeometryCommands() {
    return Rows;
}

}  // namespace brevikon::e2e
