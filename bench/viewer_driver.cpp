// viewer-driver: the measurements of bench/viewer_wine.sh, taken from outside the running
// brevikon-reader.exe under the same Wine server. Times come from the performance counter
// inside this process, so that no process start of its own is counted; memory is what
// Windows reports for the program (under Wine: the resident set from /proc).
//
//   viewer-driver start-timed TITLE PROGRAM DOCUMENT [MS]   prints shown_ms once TITLE shows text
//   viewer-driver command-timed ID TITLE [MS]   a menu command; prints done_ms once TITLE shows
//   viewer-driver memory       the working set and private bytes in KiB
//   viewer-driver quit         closes the window and waits for the end
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/platform/win32/menu_bar.h"

namespace {

constexpr UINT MessageTimeoutMs = 5000;

std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                          MessageTimeoutMs, &copied);
    return text;
}

HWND MainWindow() {
    const HWND window = ::FindWindowW(L"BrevikonReaderMainWindow", nullptr);
    return window != nullptr && ::IsWindowVisible(window) ? window : nullptr;
}

DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    return process;
}

// Polls every millisecond until `done` holds or `ms` have passed.
template <class Check>
bool WaitFor(DWORD ms, Check done) {
    const ULONGLONG end = ::GetTickCount64() + ms;
    while (!done()) {
        if (::GetTickCount64() >= end) return false;
        ::Sleep(1);
    }
    return true;
}

// Milliseconds since the call, from the performance counter.
auto Stopwatch() {
    LARGE_INTEGER frequency{}, start{};
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    return [=] {
        LARGE_INTEGER now{};
        ::QueryPerformanceCounter(&now);
        return (now.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart;
    };
}

void Print(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
}

int Fail(const std::string& why) {
    Print("FAIL: " + why);
    return 1;
}

DWORD WaitMs(const std::vector<std::wstring>& words, std::size_t index) {
    return index < words.size() ? std::wcstoul(words[index].c_str(), nullptr, 10) : 10000;
}

// Shown is when the title names the document and the viewer holds text.
int StartTimed(const std::vector<std::wstring>& words) {
    std::wstring commandLine = L"\"" + words[1] + L"\" \"" + words[2] + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    const auto milliseconds = Stopwatch();
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started)) {
        return Fail("CreateProcess");
    }
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    const auto shown = [&] {
        const HWND main = MainWindow();
        if (main == nullptr || ProcessOf(main) != started.dwProcessId) return false;
        HWND viewer = ::FindWindowExW(main, nullptr, L"RICHEDIT50W", nullptr);
        if (viewer == nullptr) viewer = ::FindWindowExW(main, nullptr, L"RichEdit20W", nullptr);
        DWORD_PTR length = 0;
        return WindowText(main) == words[0] &&
               ::SendMessageTimeoutW(viewer, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG,
                                     MessageTimeoutMs, &length) &&
               length > 0;
    };
    if (!WaitFor(WaitMs(words, 3), shown)) return Fail("the document is not shown");
    Print("shown_ms=" + std::to_string(milliseconds()));
    return 0;
}

int CommandTimed(HWND main, const std::vector<std::wstring>& words) {
    const auto milliseconds = Stopwatch();
    const int id = static_cast<int>(std::wcstol(words[0].c_str(), nullptr, 10));
    ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(brevikon::Win32CommandId(id), 0), 0);
    if (!WaitFor(WaitMs(words, 2), [&] { return WindowText(main) == words[1]; }))
        return Fail("the title does not read as expected");
    Print("done_ms=" + std::to_string(milliseconds()));
    return 0;
}

int Memory(HWND main) {
    const HANDLE process =
        ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, ProcessOf(main));
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    const bool ok =
        process != nullptr && ::GetProcessMemoryInfo(process, &counters, sizeof counters);
    if (process != nullptr) ::CloseHandle(process);
    if (!ok) return Fail("GetProcessMemoryInfo");
    Print("working_set_kib=" + std::to_string(counters.WorkingSetSize / 1024));
    Print("peak_working_set_kib=" + std::to_string(counters.PeakWorkingSetSize / 1024));
    Print("private_kib=" + std::to_string(counters.PagefileUsage / 1024));
    return 0;
}

int Quit(HWND main) {
    const HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, ProcessOf(main));
    if (process == nullptr) return Fail("OpenProcess");
    ::PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    const bool ended = ::WaitForSingleObject(process, 10000) == WAIT_OBJECT_0;
    ::CloseHandle(process);
    return ended ? 0 : Fail("the program did not end");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // LF only: the script reads the numbers as they are.
    _setmode(_fileno(stdout), _O_BINARY);
    const std::wstring command = argc > 1 ? argv[1] : L"";
    const std::vector<std::wstring> words(argv + std::min(argc, 2), argv + argc);
    if (command == L"start-timed" && words.size() >= 3) return StartTimed(words);
    const HWND main = MainWindow();
    if (main == nullptr) return Fail("no main window");
    if (command == L"command-timed" && words.size() >= 2) return CommandTimed(main, words);
    if (command == L"memory") return Memory(main);
    if (command == L"quit") return Quit(main);
    return Fail(
        "usage: start-timed TITLE PROGRAM DOCUMENT [MS] | command-timed ID TITLE [MS] | "
        "memory | quit");
}
