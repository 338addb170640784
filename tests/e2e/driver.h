#pragma once
// What the e2e driver's commands share: finding the program's windows, reading what they
// show, and acting on them as a user would. All of it works across processes.
#include <windows.h>

#include <string>
#include <vector>

namespace brevikon::e2e {

constexpr DWORD DefaultWaitMs = 10000;
constexpr DWORD PollMs = 50;
// The longest wait for a window's answer to a message.
constexpr UINT MessageTimeoutMs = 5000;

// One line of UTF-8 on standard output.
void Print(const std::wstring& text);
// Prints "FAIL: why"; returns the exit code of a failed command.
int Fail(const std::wstring& why);

// Polls until `done` holds or the time is up.
template <class Check>
bool WaitFor(DWORD ms, Check done, DWORD poll = PollMs) {
    const ULONGLONG end = ::GetTickCount64() + ms;
    while (true) {
        if (done()) return true;
        if (::GetTickCount64() >= end) return false;
        ::Sleep(poll);
    }
}

// The program's main window while it is shown, else nullptr.
HWND MainWindow();
DWORD ProcessOf(HWND window);
std::wstring WindowText(HWND window);
HWND ViewerOf(HWND main);
bool StatusText(HWND main, int field, std::wstring& text);

bool SendChord(const std::wstring& chord);
void BringToFront(HWND main);
// Exactly what choosing a menu item sends: its Win32 id, no control.
void PostCommand(HWND main, int commandId);
// Until the program has handled all input and commands sent to it so far.
bool WaitUntilHandled(HWND main, DWORD ms);

// A visible dialog or message box of the process; any title when `title` is nullptr.
HWND FindDialog(DWORD process, const wchar_t* title);
int DialogCancel(const std::wstring& title, DWORD ms);
// Waits for a message box, reads its title and text and presses OK.
bool ReadMessageBox(DWORD ms, std::wstring& title, std::wstring& text);
// Drags the files onto the main window through OLE and drops them there.
HRESULT DropFiles(HWND main, std::vector<std::wstring> files, DWORD& effect);

// Where a drop lets go, in screen coordinates: the middle of the client area.
POINT ViewerCentre(HWND main);

// For the benchmark (timing.cpp): the time from the process start to the document shown,
// from a command to the title it must lead to, and the program's memory.
int StartTimed(const std::wstring& title, const std::wstring& program, const std::wstring& document,
               DWORD ms);
int CommandTimed(HWND main, int commandId, const std::wstring& title, DWORD ms);
int Memory(HWND main);

// The random-command run (monkey.cpp).
int RunMonkey(HWND main, int argc, wchar_t** argv);

}  // namespace brevikon::e2e
