#pragma once
// What the e2e driver's commands share: finding the program's windows, reading what they
// show, and acting on them as a user would. All of it works across processes.
#include <windows.h>

#include <span>
#include <string>
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

struct Command {
    const wchar_t* name;
    // Words in capitals are required, words in brackets optional; the count of required
    // words is taken from here, so the usage text and the check never differ.
    const wchar_t* arguments;
    const wchar_t* help;
    int (*function)(const Call&);
};

// A command that acts on the main window: fails at once when none is shown.
template <int (*Function)(HWND, const Call&)>
int OnWindow(const Call& call) {
    if (call.main == nullptr) return Fail(L"no main window");
    return Function(call.main, call);
}

// The commands, in driver.cpp's table; each file holds those for what it acts on.
// window_state.cpp: what the window shows, its sizes.
int WaitWindow(const Call&);
int WaitTitle(const Call&);
int Status(HWND main, const Call&);
int WaitStatus(const Call&);
int StatusEdges(HWND main, const Call&);
int ViewerZoom(HWND main, const Call&);
int Geometry(HWND main, const Call&);
int Resize(HWND main, const Call&);
int WaitSize(HWND main, const Call&);
int Show(HWND main, const Call&);
// input.cpp: keys, mouse, menu commands, the clipboard, the end.
int Key(HWND main, const Call&);
int Click(HWND main, const Call&);
int Wheel(HWND main, const Call&);
int MenuCommand(HWND main, const Call&);
int Quit(HWND main, const Call&);
int CopyViewer(HWND main, const Call&);
int Clipboard(const Call&);
// dialogs.cpp
int Message(const Call&);
int Cancel(const Call&);
int DialogType(const Call&);
int DialogReplace(const Call&);
int Answer(const Call&);
// file_drop.cpp, monkey.cpp
int Drop(HWND main, const Call&);
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
// A left click into the middle of the viewer.
void ClickViewer(HWND main);
// Exactly what choosing a menu item sends: its Win32 id, no control.
void PostCommand(HWND main, int commandId);
// Until the program has handled all input and commands sent to it so far.
bool WaitUntilHandled(HWND main, DWORD ms);
// Where a drop lets go or a click lands, in screen coordinates: the middle of the client area.
POINT ViewerCentre(HWND main);

// A visible dialog or message box of the process; any title when `title` is nullptr.
HWND FindDialog(DWORD process, const wchar_t* title);
int DialogCancel(const std::wstring& title, DWORD ms);
// Waits for a message box, reads its title and text and presses OK.
bool ReadMessageBox(DWORD ms, std::wstring& title, std::wstring& text);
// Drags the files onto the main window through OLE and drops them there.
HRESULT DropFiles(HWND main, std::vector<std::wstring> files, DWORD& effect);

// Memory in the program's process, for control messages whose answers carry pointers:
// Windows copies those only for its own standard messages.
class RemoteMemory {
  public:
    RemoteMemory(HWND window, std::size_t size)
        : process_(::OpenProcess(
              PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
              FALSE, ProcessOf(window))) {
        if (process_ != nullptr)
            address_ =
                ::VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    ~RemoteMemory() {
        if (address_ != nullptr) ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_ != nullptr) ::CloseHandle(process_);
    }
    bool ok() const { return address_ != nullptr; }
    LPARAM address() const { return reinterpret_cast<LPARAM>(address_); }
    template <class T>
    T* at(std::size_t offset) const {
        return reinterpret_cast<T*>(static_cast<char*>(address_) + offset);
    }
    bool Read(std::size_t offset, void* into, std::size_t bytes) const {
        SIZE_T got = 0;
        return ::ReadProcessMemory(process_, static_cast<char*>(address_) + offset, into, bytes,
                                   &got) &&
               got == bytes;
    }

  private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
};

}  // namespace brevikon::e2e
