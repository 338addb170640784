#pragma once
// What the e2e driver's commands share: finding the program's windows, reading what they
// show, and acting on them as a user would. All of it works across processes.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace brevikon::e2e {

constexpr DWORD DefaultWaitMs = 10000;
constexpr DWORD PollMs = 50;
// The longest wait for a window's answer to a message.
constexpr UINT MessageTimeoutMs = 5000;

// --- The command table ---

// One line of UTF-8 on standard output.
void Print(const std::wstring& text);
// Prints "FAIL: why"; returns the exit code of a failed command.
int Fail(const std::wstring& why);

// The words after the command's name, and the main window when one was shown at the start.
struct Call {
    std::vector<std::wstring> words;
    HWND main = nullptr;

    int Number(std::size_t index) const;
    // An optional wait in milliseconds at `index`, DefaultWaitMs when not given.
    DWORD Wait(std::size_t index) const;
};

// The commands, in driver.cpp's table; each file holds those for what it acts on. Those
// taking a window fail at once when no main window is shown.
// window_state.cpp: what the window shows, its sizes.
int WaitWindow(const Call&);
int WaitTitle(const Call&);
int WaitStatus(const Call&);
int StatusEdges(HWND main, const Call&);
int Zoom(HWND main, const Call&);
int Geometry(HWND main, const Call&);
int Resize(HWND main, const Call&);
int WaitSize(HWND main, const Call&);
int Show(HWND main, const Call&);
// input.cpp: keys, mouse, the clipboard, the end.
int Key(HWND main, const Call&);
int Click(HWND main, const Call&);
int Wheel(HWND main, const Call&);
int Quit(HWND main, const Call&);
int CopyViewer(HWND main, const Call&);
int Clipboard(const Call&);
// dialogs.cpp
int PressCommand(const Call&);
int DialogType(const Call&);
// file_drop.cpp, monkey.cpp
int Drop(HWND main, const Call&);
// typing.cpp
int TypeIntoViewer(HWND main, const Call&);
int RunMonkey(HWND main, const Call&);

// --- Shared helpers ---

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

// The program's main window while it is shown, else nullptr; `AnyMainWindow` also while
// it is hidden or disabled behind a modal dialog.
HWND MainWindow();
HWND AnyMainWindow();
DWORD ProcessOf(HWND window);
std::wstring WindowText(HWND window);
std::wstring ClassOf(HWND window);
HWND ViewerOf(HWND main);
HWND StatusBarOf(HWND main);
bool StatusText(HWND main, int field, std::wstring& text);

bool SendChord(const std::wstring& chord);
void BringToFront(HWND main);
// The window in front, the cursor over the middle of its client area: where a click or a
// drop lands.
void PointAtViewer(HWND main);
// A left click into the middle of the viewer.
void ClickViewer(HWND main);
// Exactly what choosing a menu item sends: its Win32 id, no control.
void PostCommand(HWND main, int commandId);
// Ends the program as `how` says: "close" its window, "command" Quit as from the menu, or
// a chord; false when it did not end within `ms`, else its exit code in `code`.
bool EndProgram(HWND main, const std::wstring& how, DWORD ms, DWORD& code);
// Until the program has handled all input and commands sent to it so far.
bool WaitUntilHandled(HWND main, DWORD ms);

// A visible dialog or message box of the process.
HWND FindDialog(DWORD process);
// Waits for a dialog of the program with this title (any when empty; for Yes or No one
// that asks), reads its title and text as two lines, presses the button and waits until
// it has gone.
bool PressInDialog(const std::wstring& title, int button, std::wstring& read);
// Drags the files onto the main window through OLE and drops them there.
HRESULT DropFiles(HWND main, std::vector<std::wstring> files, DWORD& effect);

// SendMessage with the longest wait for the answer; false when none came.
bool Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* answer = nullptr);

// Memory in the program's process for a control message whose answer carries pointers:
// Windows copies those only for its own standard messages. `send` gets the address and
// sends; then `bytes` from there are copied into `into`.
template <class Send>
bool WithRemoteMemory(HWND control, std::size_t bytes, void* into, Send send) {
    const HANDLE process = ::OpenProcess(
        PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
        FALSE, ProcessOf(control));
    if (process == nullptr) return false;
    void* remote =
        ::VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    SIZE_T got = 0;
    const bool ok = remote != nullptr && send(reinterpret_cast<char*>(remote)) &&
                    ::ReadProcessMemory(process, remote, into, bytes, &got) && got == bytes;
    if (remote != nullptr) ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    ::CloseHandle(process);
    return ok;
}

}  // namespace brevikon::e2e
