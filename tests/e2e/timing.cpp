// The driver's measurements for bench/viewer_wine.sh: times taken with the performance
// counter inside the driver, so that no process start of its own is counted, and the
// program's memory as Windows reports it (under Wine: the resident set from /proc).
#include <windows.h>

#include <psapi.h>

#include <string>

#include "driver.h"

namespace brevikon::e2e {

namespace {

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

}  // namespace

// Shown is when the title names the document and the viewer holds text.
int StartTimed(const Call& call) {
    const std::wstring& title = call.words[0];
    const std::wstring& program = call.words[1];
    std::wstring commandLine = L"\"" + program + L"\" \"" + call.words[2] + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    const auto milliseconds = Stopwatch();
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started)) {
        return Fail(L"CreateProcess " + program);
    }
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    const auto shown = [&] {
        const HWND main = MainWindow();
        if (main == nullptr || ProcessOf(main) != started.dwProcessId) return false;
        DWORD_PTR length = 0;
        return WindowText(main) == title &&
               ::SendMessageTimeoutW(ViewerOf(main), WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG,
                                     MessageTimeoutMs, &length) &&
               length > 0;
    };
    if (!WaitFor(call.Wait(3), shown, 1)) return Fail(L"the document is not shown");
    Print(L"shown_ms=" + std::to_wstring(milliseconds()));
    return 0;
}

int CommandTimed(HWND main, const Call& call) {
    const std::wstring& title = call.words[1];
    const auto milliseconds = Stopwatch();
    PostCommand(main, call.Number(0));
    const auto reached = [&] { return WindowText(main) == title; };
    if (!WaitFor(call.Wait(2), reached, 1)) return Fail(L"the title does not read " + title);
    Print(L"done_ms=" + std::to_wstring(milliseconds()));
    return 0;
}

int Memory(HWND main, const Call&) {
    const HANDLE process =
        ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, ProcessOf(main));
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    const bool ok =
        process != nullptr && ::GetProcessMemoryInfo(process, &counters, sizeof counters);
    if (process != nullptr) ::CloseHandle(process);
    if (!ok) return Fail(L"GetProcessMemoryInfo");
    Print(L"working_set_kib=" + std::to_wstring(counters.WorkingSetSize / 1024));
    Print(L"peak_working_set_kib=" + std::to_wstring(counters.PeakWorkingSetSize / 1024));
    Print(L"private_kib=" + std::to_wstring(counters.PagefileUsage / 1024));
    return 0;
}

}  // namespace brevikon::e2e
