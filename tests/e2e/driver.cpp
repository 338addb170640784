// e2e-driver: drives a running brevikon-reader.exe from outside, as a user would, and reads
// what it shows. Runs under the same Wine server as the program. One command per start;
// results go to standard output as UTF-8, the exit code says whether the command held.
// The random-command run (monkey.cpp) is one command that runs a whole script of steps.
//
//   wait-window [MS]            until the main window is shown; prints its process id
//   title                       the window title
//   wait-title TEXT [MS]        until the title reads TEXT (prints the last one otherwise)
//   status FIELD                a status-bar field's text
//   wait-status FIELD TEXT [MS] until the field reads TEXT
//   status-edges                the right edges of the status fields (SB_GETPARTS)
//   key CHORD...                keystrokes through the system input queue, e.g. ctrl+o,
//                               ctrl+add (keypad plus), ctrl+oemplus (main keyboard plus)
//   click-viewer                a left click into the middle of the viewer
//   wheel [ctrl] DELTA...       turns the mouse wheel over the viewer by each DELTA (120 is
//                               one notch away from the user), Ctrl held if asked; returns
//                               once the program has handled it
//   copy-viewer                 empties the clipboard, selects the viewer's whole text and
//                               presses Ctrl+C; prints the text on the clipboard
//   clipboard                   the text on the clipboard (also once the program has ended)
//   command ID                  a menu command, as if chosen from the menu
//   message [MS]                waits for a message box, prints its title and text, presses OK
//   dialog-cancel TITLE [MS]    waits for a dialog with this title and cancels it
//   dialog-type TITLE NAME [MS] waits for a file dialog, prints its preset file name, types
//                               NAME into the name field and presses the default button
//   dialog-replace TITLE NAME [MS]
//                               as dialog-type, for a NAME that exists: waits for the Yes/No
//                               question the dialog asks, prints its title and text and
//                               leaves it open
//   answer yes|no [MS]          presses Yes or No in the program's open question
//   drop FILE...                drags the files onto the main window through OLE and drops
//   viewer-length               the number of characters in the viewer
//   viewer-zoom                 the viewer's zoom as numerator/denominator
//   geometry                    sizes in device pixels, one NAME=VALUE per line
//   resize WIDTH HEIGHT         asks for this outer size in pixels, then prints geometry
//   show maximize|restore|minimize
//   windows                     lists the top-level windows (class, title, process), for
//                               finding out why a check failed
//   quit close|CHORD [MS]       closes the window (system menu Close) or presses CHORD, waits
//                               for the program to end and prints exit=CODE
//   start-timed TITLE PROGRAM DOCUMENT [MS]
//                               starts PROGRAM with DOCUMENT, waits until the title reads
//                               TITLE and the viewer holds text; prints shown_ms=MS
//   command-timed ID TITLE [MS] a menu command; prints done_ms=MS once the title reads TITLE
//   memory                      the program's working set (GetProcessMemoryInfo), in KiB
//   monkey SEED STEPS EMPTY-FILE TOO-LARGE-FILE DOCUMENT...
//                               STEPS random steps, each checked, then quits (monkey.cpp)
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>
#include <richedit.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/platform/win32/menu_bar.h"
#include "driver.h"

namespace brevikon::e2e {

constexpr wchar_t MainWindowClass[] = L"BrevikonReaderMainWindow";

void Print(const std::wstring& text) {
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                            nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(),
                          bytes, nullptr, nullptr);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int Fail(const std::wstring& why) {
    Print(L"FAIL: " + why);
    return 1;
}

HWND MainWindow() {
    const HWND window = ::FindWindowW(MainWindowClass, nullptr);
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

// Memory in the program's process, for control messages whose answers carry pointers:
// Windows copies those only for its own standard messages.
class RemoteMemory {
  public:
    RemoteMemory(HWND window, std::size_t size) : size_(size) {
        process_ = ::OpenProcess(
            PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
            FALSE, ProcessOf(window));
        if (process_ != nullptr) {
            address_ =
                ::VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        }
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
    bool Write(std::size_t offset, const void* from, std::size_t bytes) const {
        SIZE_T put = 0;
        return ::WriteProcessMemory(process_, static_cast<char*>(address_) + offset, from, bytes,
                                    &put) &&
               put == bytes;
    }

  private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    std::size_t size_;
};

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

// --- Keyboard and mouse, through the system's input queue like real keys ---

WORD KeyCode(const std::wstring& name) {
    struct Named {
        const wchar_t* name;
        WORD key;
    };
    static const Named names[] = {
        {L"add", VK_ADD},          {L"subtract", VK_SUBTRACT},
        {L"oemplus", VK_OEM_PLUS}, {L"oemminus", VK_OEM_MINUS},
        {L"numpad0", VK_NUMPAD0},  {L"escape", VK_ESCAPE},
        {L"return", VK_RETURN},    {L"f4", VK_F4},
    };
    for (const Named& named : names) {
        if (name == named.name) return named.key;
    }
    if (name.size() == 1) {
        const wchar_t c = name[0];
        if (c >= L'a' && c <= L'z') return static_cast<WORD>(c - L'a' + L'A');
        if ((c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9')) return c;
    }
    if (name.rfind(L"0x", 0) == 0)
        return static_cast<WORD>(std::wcstoul(name.c_str(), nullptr, 16));
    return 0;
}

INPUT KeyInput(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

// "ctrl+o", "alt+f4", "a": modifiers held around the last key.
bool SendChord(const std::wstring& chord) {
    std::vector<WORD> keys;
    std::size_t start = 0;
    while (true) {
        const std::size_t plus = chord.find(L'+', start);
        const std::wstring part =
            chord.substr(start, plus == std::wstring::npos ? plus : plus - start);
        WORD key = part == L"ctrl"    ? VK_CONTROL
                   : part == L"alt"   ? VK_MENU
                   : part == L"shift" ? VK_SHIFT
                                      : KeyCode(part);
        if (key == 0) return false;
        keys.push_back(key);
        if (plus == std::wstring::npos) break;
        start = plus + 1;
    }
    std::vector<INPUT> inputs;
    for (WORD key : keys)
        inputs.push_back(KeyInput(key, false));
    for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        inputs.push_back(KeyInput(*key, true));
    return ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) ==
           inputs.size();
}

void BringToFront(HWND main) {
    ::SetForegroundWindow(main);
    WaitFor(2000, [&] { return ::GetForegroundWindow() == main; });
}

// --- Dialogs ---

struct FoundDialog {
    DWORD process;
    const wchar_t* title;  // nullptr: any title
    HWND dialog;
};

BOOL CALLBACK FindDialogProc(HWND window, LPARAM param) {
    auto* found = reinterpret_cast<FoundDialog*>(param);
    if (!::IsWindowVisible(window) || ClassOf(window) != L"#32770") return TRUE;
    if (ProcessOf(window) != found->process) return TRUE;
    if (found->title != nullptr && WindowText(window) != found->title) return TRUE;
    found->dialog = window;
    return FALSE;
}

HWND FindDialog(DWORD process, const wchar_t* title) {
    FoundDialog found{process, title, nullptr};
    ::EnumWindows(FindDialogProc, reinterpret_cast<LPARAM>(&found));
    return found.dialog;
}

HWND WaitForDialog(const wchar_t* title, DWORD ms) {
    HWND dialog = nullptr;
    WaitFor(ms, [&] {
        const HWND main = ::FindWindowW(MainWindowClass, nullptr);
        if (main == nullptr) return false;
        dialog = FindDialog(ProcessOf(main), title);
        return dialog != nullptr;
    });
    return dialog;
}

void PressButton(HWND dialog, int id) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

bool WaitGone(HWND window, DWORD ms) {
    return WaitFor(ms, [&] { return !::IsWindow(window) || !::IsWindowVisible(window); });
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM param) {
    if (ClassOf(child) == L"Static") {
        const std::wstring text = WindowText(child);
        if (!text.empty()) *reinterpret_cast<std::wstring*>(param) += text;
    }
    return TRUE;
}

// The name field of a common file dialog: an edit, or the edit inside a combo box.
HWND FileNameField(HWND dialog) {
    constexpr int Edit1 = 0x480;
    constexpr int Combo13 = 0x47c;
    if (const HWND edit = ::GetDlgItem(dialog, Edit1)) return edit;
    if (const HWND combo = ::GetDlgItem(dialog, Combo13)) {
        if (const HWND edit = ::FindWindowExW(combo, nullptr, L"Edit", nullptr)) return edit;
        return combo;
    }
    return nullptr;
}

POINT ViewerCentre(HWND main) {
    RECT client{};
    ::GetClientRect(main, &client);
    POINT centre{(client.left + client.right) / 2, (client.top + client.bottom) / 2};
    ::ClientToScreen(main, &centre);
    return centre;
}

bool ReadMessageBox(DWORD ms, std::wstring& title, std::wstring& text) {
    const HWND dialog = WaitForDialog(nullptr, ms);
    if (dialog == nullptr) return false;
    title = WindowText(dialog);
    text.clear();
    ::EnumChildWindows(dialog, CollectStaticText, reinterpret_cast<LPARAM>(&text));
    PressButton(dialog, IDOK);
    return WaitGone(dialog, ms);
}

// A Yes/No box of the program's process, other than `except`.
HWND FindQuestion(DWORD process, HWND except) {
    struct Found {
        DWORD process;
        HWND except;
        HWND question;
    } found{process, except, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* search = reinterpret_cast<Found*>(param);
            if (window == search->except || !::IsWindowVisible(window) ||
                ClassOf(window) != L"#32770" || ProcessOf(window) != search->process ||
                ::GetDlgItem(window, IDYES) == nullptr || ::GetDlgItem(window, IDNO) == nullptr) {
                return TRUE;
            }
            search->question = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.question;
}

bool ClipboardText(std::wstring& text) {
    if (!::OpenClipboard(nullptr)) return false;
    bool got = false;
    if (const HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text.assign(chars, ::wcsnlen(chars, ::GlobalSize(data) / sizeof(wchar_t)));
            ::GlobalUnlock(data);
            got = true;
        }
    }
    ::CloseClipboard();
    return got;
}

int DialogCancel(const std::wstring& title, DWORD ms) {
    const HWND dialog = WaitForDialog(title.c_str(), ms);
    if (dialog == nullptr) return Fail(L"no dialog \"" + title + L"\"");
    PressButton(dialog, IDCANCEL);
    if (!WaitGone(dialog, ms)) return Fail(L"dialog stays after Cancel");
    return 0;
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

}  // namespace brevikon::e2e

namespace {

using namespace brevikon::e2e;

DWORD WaitArgument(int argc, wchar_t** argv, int index) {
    return argc > index ? static_cast<DWORD>(std::wcstoul(argv[index], nullptr, 10))
                        : DefaultWaitMs;
}

// --- Commands ---

int WaitWindow(int argc, wchar_t** argv) {
    HWND main = nullptr;
    if (!WaitFor(WaitArgument(argc, argv, 2), [&] { return (main = MainWindow()) != nullptr; })) {
        return Fail(L"no main window");
    }
    Print(L"pid=" + std::to_wstring(ProcessOf(main)));
    return 0;
}

int WaitTitle(const std::wstring& expected, DWORD ms) {
    std::wstring title;
    const bool ok = WaitFor(ms, [&] {
        const HWND main = MainWindow();
        if (main == nullptr) return false;
        title = WindowText(main);
        return title == expected;
    });
    if (!ok) return Fail(L"title is \"" + title + L"\", expected \"" + expected + L"\"");
    return 0;
}

int WaitStatus(int field, const std::wstring& expected, DWORD ms) {
    std::wstring text;
    const bool ok = WaitFor(ms, [&] {
        const HWND main = MainWindow();
        return main != nullptr && StatusText(main, field, text) && text == expected;
    });
    if (!ok) {
        return Fail(L"field " + std::to_wstring(field) + L" is \"" + text + L"\", expected \"" +
                    expected + L"\"");
    }
    return 0;
}

int StatusEdges(HWND main) {
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

int Message(DWORD ms) {
    std::wstring title, text;
    if (!ReadMessageBox(ms, title, text)) return Fail(L"no message box, or it stays after OK");
    Print(title);
    Print(text);
    return 0;
}

// Types NAME into a file dialog's name field and presses its default button; prints the
// name the dialog had preset.
bool TypeFileName(HWND dialog, const std::wstring& name) {
    const HWND field = FileNameField(dialog);
    if (field == nullptr) return false;
    // The dialog fills its field after it is shown.
    std::wstring preset;
    WaitFor(2000, [&] { return !(preset = WindowText(field)).empty(); });
    Print(L"preset=" + preset);
    ::SendMessageTimeoutW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()),
                          SMTO_ABORTIFHUNG, MessageTimeoutMs, nullptr);
    PressButton(dialog, IDOK);
    return true;
}

int DialogType(const std::wstring& title, const std::wstring& name, DWORD ms) {
    const HWND dialog = WaitForDialog(title.c_str(), ms);
    if (dialog == nullptr) return Fail(L"no dialog \"" + title + L"\"");
    if (!TypeFileName(dialog, name)) return Fail(L"no file name field");
    if (!WaitGone(dialog, ms)) return Fail(L"dialog stays after OK");
    return 0;
}

int DialogReplace(const std::wstring& title, const std::wstring& name, DWORD ms) {
    const HWND dialog = WaitForDialog(title.c_str(), ms);
    if (dialog == nullptr) return Fail(L"no dialog \"" + title + L"\"");
    if (!TypeFileName(dialog, name)) return Fail(L"no file name field");
    HWND question = nullptr;
    WaitFor(ms, [&] {
        question = FindQuestion(ProcessOf(dialog), dialog);
        return question != nullptr || !::IsWindowVisible(dialog);
    });
    if (question == nullptr) return Fail(L"the dialog took an existing file without asking");
    std::wstring text;
    ::EnumChildWindows(question, CollectStaticText, reinterpret_cast<LPARAM>(&text));
    Print(WindowText(question));
    Print(text);
    return 0;
}

int Answer(const std::wstring& button, DWORD ms) {
    const HWND main = ::FindWindowW(MainWindowClass, nullptr);
    HWND question = nullptr;
    if (main == nullptr || !WaitFor(ms, [&] {
            return (question = FindQuestion(ProcessOf(main), nullptr)) != nullptr;
        })) {
        return Fail(L"no question open");
    }
    PressButton(question, button == L"yes" ? IDYES : IDNO);
    if (!WaitGone(question, ms)) return Fail(L"the question stays after " + button);
    return 0;
}

void ClickViewer(HWND main) {
    BringToFront(main);
    const POINT centre = ViewerCentre(main);
    ::SetCursorPos(centre.x, centre.y);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, clicks, sizeof(INPUT));
}

int Wheel(HWND main, const std::vector<std::wstring>& steps) {
    BringToFront(main);
    const POINT centre = ViewerCentre(main);
    ::SetCursorPos(centre.x, centre.y);
    const bool ctrl = !steps.empty() && steps.front() == L"ctrl";
    std::vector<INPUT> inputs;
    if (ctrl) inputs.push_back(KeyInput(VK_CONTROL, false));
    for (std::size_t i = ctrl ? 1 : 0; i < steps.size(); ++i) {
        INPUT turn{};
        turn.type = INPUT_MOUSE;
        turn.mi.dwFlags = MOUSEEVENTF_WHEEL;
        turn.mi.mouseData = static_cast<DWORD>(std::wcstol(steps[i].c_str(), nullptr, 10));
        inputs.push_back(turn);
    }
    if (ctrl) inputs.push_back(KeyInput(VK_CONTROL, true));
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    return WaitUntilHandled(main, DefaultWaitMs) ? 0 : Fail(L"the program did not answer");
}

int CopyViewer(HWND main) {
    // Empty first, so that only this copy can put text there.
    if (!::OpenClipboard(nullptr)) return Fail(L"OpenClipboard");
    ::EmptyClipboard();
    ::CloseClipboard();
    // The click gives the viewer the focus; it must be handled before the selection is set,
    // or it would take the selection away again.
    ClickViewer(main);
    if (!WaitUntilHandled(main, DefaultWaitMs)) return Fail(L"the click was not handled");
    ::SendMessageTimeoutW(ViewerOf(main), EM_SETSEL, 0, -1, SMTO_ABORTIFHUNG, MessageTimeoutMs,
                          nullptr);
    SendChord(L"ctrl+c");
    std::wstring text;
    if (!WaitFor(DefaultWaitMs, [&] { return ClipboardText(text) && !text.empty(); })) {
        return Fail(L"nothing was copied");
    }
    Print(text);
    return 0;
}

int Drop(HWND main, std::vector<std::wstring> files) {
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT result = DropFiles(main, std::move(files), effect);
    if (result != DRAGDROP_S_DROP) return Fail(L"DoDragDrop gave " + std::to_wstring(result));
    Print(L"effect=" + std::to_wstring(effect));
    return effect == DROPEFFECT_COPY ? 0 : Fail(L"not a copy");
}

int ViewerZoom(HWND main) {
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

int Geometry(HWND main) {
    const HDC screen = ::GetDC(nullptr);
    Print(L"dpi=" + std::to_wstring(::GetDeviceCaps(screen, LOGPIXELSX)) + L" " +
          std::to_wstring(::GetDeviceCaps(screen, LOGPIXELSY)));
    ::ReleaseDC(nullptr, screen);
    Print(L"screen=" + std::to_wstring(::GetSystemMetrics(SM_CXSCREEN)) + L" " +
          std::to_wstring(::GetSystemMetrics(SM_CYSCREEN)));
    Print(L"menu=" + std::to_wstring(::GetSystemMetrics(SM_CYMENU)));
    Print(L"grip=" + std::to_wstring(::GetSystemMetrics(SM_CXVSCROLL)));
    Print(L"zoomed=" + std::to_wstring(::IsZoomed(main) ? 1 : 0));
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

int Quit(HWND main, const std::wstring& how, DWORD ms) {
    const HANDLE process =
        ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, ProcessOf(main));
    if (process == nullptr) return Fail(L"OpenProcess");
    if (how == L"close") {
        ::PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else {
        BringToFront(main);
        SendChord(how);
    }
    if (::WaitForSingleObject(process, ms) != WAIT_OBJECT_0) {
        ::CloseHandle(process);
        return Fail(L"the program did not end");
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process, &code);
    ::CloseHandle(process);
    Print(L"exit=" + std::to_wstring(code));
    return 0;
}

BOOL CALLBACK ListWindowProc(HWND window, LPARAM) {
    Print(ClassOf(window) + L" \"" + WindowText(window) + L"\" pid=" +
          std::to_wstring(ProcessOf(window)) + (::IsWindowVisible(window) ? L" visible" : L""));
    return TRUE;
}

void BecomeDpiAware() {
    // Measured in the same device pixels as the program sees them.
    using SetContext = BOOL(WINAPI*)(HANDLE);
    const auto setContext = reinterpret_cast<SetContext>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
    if (setContext == nullptr || !setContext(reinterpret_cast<HANDLE>(-4))) {
        ::SetProcessDPIAware();
    }
}

int Run(int argc, wchar_t** argv) {
    if (argc < 2) return Fail(L"no command");
    const std::wstring command = argv[1];
    if (command == L"wait-window") return WaitWindow(argc, argv);
    if (command == L"wait-title" && argc >= 3)
        return WaitTitle(argv[2], WaitArgument(argc, argv, 3));
    if (command == L"wait-status" && argc >= 4) {
        return WaitStatus(std::wcstol(argv[2], nullptr, 10), argv[3], WaitArgument(argc, argv, 4));
    }
    if (command == L"windows") {
        ::EnumWindows(ListWindowProc, 0);
        return 0;
    }
    if (command == L"message") return Message(WaitArgument(argc, argv, 2));
    if (command == L"dialog-cancel" && argc >= 3) {
        return DialogCancel(argv[2], WaitArgument(argc, argv, 3));
    }
    if (command == L"dialog-type" && argc >= 4) {
        return DialogType(argv[2], argv[3], WaitArgument(argc, argv, 4));
    }
    if (command == L"dialog-replace" && argc >= 4) {
        return DialogReplace(argv[2], argv[3], WaitArgument(argc, argv, 4));
    }
    if (command == L"answer" && argc >= 3) return Answer(argv[2], WaitArgument(argc, argv, 3));
    if (command == L"clipboard") {
        std::wstring text;
        if (!ClipboardText(text)) return Fail(L"no text on the clipboard");
        Print(text);
        return 0;
    }
    if (command == L"start-timed" && argc >= 5) {
        return StartTimed(argv[2], argv[3], argv[4], WaitArgument(argc, argv, 5));
    }

    const HWND main = MainWindow();
    if (main == nullptr) return Fail(L"no main window");
    if (command == L"title") {
        Print(WindowText(main));
        return 0;
    }
    if (command == L"status" && argc >= 3) {
        std::wstring text;
        if (!StatusText(main, std::wcstol(argv[2], nullptr, 10), text)) return Fail(L"status");
        Print(text);
        return 0;
    }
    if (command == L"status-edges") return StatusEdges(main);
    if (command == L"key") {
        BringToFront(main);
        for (int i = 2; i < argc; ++i) {
            if (!SendChord(argv[i])) return Fail(std::wstring(L"key ") + argv[i]);
            ::Sleep(PollMs);
        }
        return 0;
    }
    if (command == L"click-viewer") {
        ClickViewer(main);
        return 0;
    }
    if (command == L"wheel") return Wheel(main, {argv + 2, argv + argc});
    if (command == L"copy-viewer") return CopyViewer(main);
    if (command == L"command" && argc >= 3) {
        PostCommand(main, std::wcstol(argv[2], nullptr, 10));
        return 0;
    }
    if (command == L"drop" && argc >= 3) return Drop(main, {argv + 2, argv + argc});
    if (command == L"monkey") return RunMonkey(main, argc, argv);
    if (command == L"viewer-length") {
        Print(std::to_wstring(WindowText(ViewerOf(main)).size()));
        return 0;
    }
    if (command == L"viewer-zoom") return ViewerZoom(main);
    if (command == L"geometry") return Geometry(main);
    if (command == L"resize" && argc >= 4) {
        ::SetWindowPos(main, nullptr, 0, 0, std::wcstol(argv[2], nullptr, 10),
                       std::wcstol(argv[3], nullptr, 10), SWP_NOMOVE | SWP_NOZORDER);
        ::Sleep(200);
        return Geometry(main);
    }
    if (command == L"show" && argc >= 3) {
        const std::wstring how = argv[2];
        ::ShowWindow(main, how == L"maximize"   ? SW_MAXIMIZE
                           : how == L"minimize" ? SW_MINIMIZE
                                                : SW_RESTORE);
        ::Sleep(200);
        return 0;
    }
    if (command == L"command-timed" && argc >= 4) {
        return CommandTimed(main, std::wcstol(argv[2], nullptr, 10), argv[3],
                            WaitArgument(argc, argv, 4));
    }
    if (command == L"memory") return Memory(main);
    if (command == L"quit" && argc >= 3) return Quit(main, argv[2], WaitArgument(argc, argv, 3));
    return Fail(L"unknown command or missing arguments: " + command);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // LF only: the checks compare the lines as they are.
    _setmode(_fileno(stdout), _O_BINARY);
    BecomeDpiAware();
    return Run(argc, argv);
}
