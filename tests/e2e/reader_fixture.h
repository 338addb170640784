#pragma once
// What the end-to-end tests share: brevikon-reader.exe started in a process of its own over
// documents in a fresh folder, its windows found and read, and keys, mouse, dialogs and drops
// given as a user gives them. All of it works across processes, under the same Wine server.
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

// Every size, id and text the tests expect comes from the program's own headers.
#include "app/about.h"
#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/open_document.h"
#include "app/platform/win32/display_units.h"
#include "app/platform/win32/menu_bar.h"
#include "app/platform/win32/status_layout.h"
#include "app/save_rtf.h"
#include "app/title_status.h"
#include "document/message_texts.h"
#include "document/path_names.h"
#include "format/document_format.h"

namespace brevikon::e2e {

using testing::AssertionFailure;
using testing::AssertionResult;
using testing::AssertionSuccess;

// The longest wait for an answer of the program; a start, and a dialog over a start that Wine
// makes slow, get StartWaitMs.
constexpr DWORD WaitMs = 10000;
constexpr DWORD StartWaitMs = 60000;
// Under load Wine now and then drops a press on a window that has just come to the front: a
// press not taken within PressWaitMs is made again.
constexpr int PressTries = 3;
constexpr DWORD PressWaitMs = 3000;

// Polls until `done` holds or the time is up.
template <class Check>
bool WaitFor(DWORD ms, Check done, DWORD pollMs = 5) {
    for (const ULONGLONG end = ::GetTickCount64() + ms;; ::Sleep(pollMs)) {
        if (done()) return true;
        if (::GetTickCount64() >= end) return false;
    }
}

// The program's texts are UTF-16, as wchar_t is on Windows.
inline std::wstring Wide(std::u16string_view text) {
    return {text.begin(), text.end()};
}

// Wine's drive Z: is the root of the build machine, where the build put the programs.
inline std::wstring FromBuild(std::string_view unixPath) {
    std::wstring path = L"Z:" + std::wstring(unixPath.begin(), unixPath.end());
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

inline const std::wstring ReaderProgram = FromBuild(BREVIKON_READER_PROGRAM);
inline const std::wstring ConverterProgram = FromBuild(BREVIKON_RTF_PROGRAM);

inline std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

// SendMessage with the longest wait for the answer; false when none came.
inline bool Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                DWORD_PTR* answer = nullptr) {
    DWORD_PTR ignored = 0;
    return ::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000,
                                 answer != nullptr ? answer : &ignored) != 0;
}

inline std::wstring WindowText(HWND window) {
    DWORD_PTR length = 0;
    if (!Ask(window, WM_GETTEXTLENGTH, 0, 0, &length)) return L"<no answer>";
    std::wstring text(length + 1, L'\0');
    Ask(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), &length);
    text.resize(length);
    return text;
}

// Memory in the program's process for a control message whose answer carries pointers:
// Windows copies those only for its own standard messages. `message` is sent with the
// address (twice that many bytes on, for a second answer), then `bytes` from there are copied
// into `into`.
inline bool AskWithRemoteMemory(HWND control, UINT message, WPARAM wParam, std::size_t bytes,
                                void* into, DWORD_PTR* answer = nullptr, bool pair = false) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(control, &process);
    const HANDLE handle = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ, FALSE, process);
    char* remote = static_cast<char*>(
        ::VirtualAllocEx(handle, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    SIZE_T got = 0;
    const bool ok = remote != nullptr &&
                    Ask(control, message, pair ? reinterpret_cast<WPARAM>(remote) : wParam,
                        reinterpret_cast<LPARAM>(pair ? remote + bytes / 2 : remote), answer) &&
                    ::ReadProcessMemory(handle, remote, into, bytes, &got) && got == bytes;
    if (remote != nullptr) ::VirtualFreeEx(handle, remote, 0, MEM_RELEASE);
    if (handle != nullptr) ::CloseHandle(handle);
    return ok;
}

inline HWND StatusBarOf(HWND main) {
    return ::FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr);
}

inline HWND ViewerOf(HWND main) {
    const HWND viewer = ::FindWindowExW(main, nullptr, L"RICHEDIT50W", nullptr);
    return viewer != nullptr ? viewer : ::FindWindowExW(main, nullptr, L"RichEdit20W", nullptr);
}

inline std::wstring StatusText(HWND main, int field) {
    const HWND bar = StatusBarOf(main);
    DWORD_PTR length = 0;
    if (!Ask(bar, SB_GETTEXTLENGTHW, field, 0, &length)) return L"<no field>";
    // With room for the terminating zero, which SB_GETTEXTW writes too.
    std::wstring text(LOWORD(length) + 1, L'\0');
    if (!AskWithRemoteMemory(bar, SB_GETTEXTW, field, text.size() * sizeof(wchar_t), text.data()))
        return L"<no field>";
    text.pop_back();
    return text;
}

// The right edges of the status fields, left to right.
inline std::vector<int> StatusEdges(HWND main) {
    int edges[16] = {};
    DWORD_PTR count = 0;
    if (!AskWithRemoteMemory(StatusBarOf(main), SB_GETPARTS, 16, sizeof edges, edges, &count))
        return {};
    return {edges, edges + std::min<DWORD_PTR>(count, 16)};
}

// The viewer's zoom as numerator/denominator: "110/100", "0/0" when none is set.
inline std::wstring ViewerZoom(HWND main) {
    int ratio[2] = {};
    if (!AskWithRemoteMemory(ViewerOf(main), EM_GETZOOM, 0, sizeof ratio, ratio, nullptr, true))
        return L"<no answer>";
    return std::to_wstring(ratio[0]) + L"/" + std::to_wstring(ratio[1]);
}

// The first shown top-level window of the process that is a dialog or message box with this
// title (any when empty), with Yes and No when `question`; or with `dialog` false, the first
// that is no dialog: the main window. Waits up to `waitMs` for one to show.
inline HWND FindWindowOf(DWORD process, bool dialog = true, const std::wstring& title = {},
                         bool question = false, DWORD waitMs = 0) {
    HWND found = nullptr;
    WaitFor(waitMs, [&] {
        while ((found = ::FindWindowExW(nullptr, found, nullptr, nullptr)) != nullptr) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(found, &owner);
            if (owner == process && ::IsWindowVisible(found) &&
                (ClassOf(found) == L"#32770") == dialog &&
                (dialog || ::GetWindow(found, GW_OWNER) == nullptr) &&
                (title.empty() || WindowText(found) == title) &&
                (!question || (::GetDlgItem(found, IDYES) && ::GetDlgItem(found, IDNO))))
                return true;
        }
        return false;
    });
    return found;
}

// The title, a line feed, then the text of the static controls.
inline std::wstring ReadDialog(HWND dialog) {
    std::wstring text = WindowText(dialog) + L"\n";
    for (HWND child = nullptr; (child = ::FindWindowExW(dialog, child, L"Static", nullptr));)
        text += WindowText(child);
    return text;
}

// Clicks the button as a user would; with `wait`, until the dialog has gone.
inline bool Press(HWND dialog, int button, bool wait = true) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
    return !wait || WaitFor(WaitMs, [&] { return !::IsWindowVisible(dialog); });
}

// A repaint is taken from the queue only when no posted message and no input waits before
// it; once the main window has painted what was invalidated here, all earlier input has been
// handled to its end. Its own client area, because the program never paints that at once;
// the status bar paints itself at once whenever its text changes.
inline bool WaitUntilHandled(HWND main) {
    if (!::RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN)) return false;
    return WaitFor(
        WaitMs, [&] { return !::GetUpdateRect(main, nullptr, FALSE); }, 1);
}

inline INPUT KeyInput(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

// "ctrl+o", "alt+a", "x", "ctrl+wheel60" (the wheel turned by 60, 120 being a notch):
// modifiers held around the last key or turn.
inline bool SendChord(const std::wstring& chord) {
    static const std::pair<const wchar_t*, WORD> names[] = {
        {L"ctrl", VK_CONTROL},      {L"alt", VK_MENU},         {L"add", VK_ADD},
        {L"subtract", VK_SUBTRACT}, {L"oemplus", VK_OEM_PLUS}, {L"oemminus", VK_OEM_MINUS},
        {L"numpad0", VK_NUMPAD0},   {L"back", VK_BACK},        {L"delete", VK_DELETE},
        {L"insert", VK_INSERT},     {L"return", VK_RETURN},    {L"shift", VK_SHIFT}};
    std::vector<INPUT> inputs;
    INPUT turn{};
    std::wistringstream parts(chord);
    for (std::wstring name; std::getline(parts, name, L'+');) {
        if (name.starts_with(L"wheel")) {
            turn.mi.dwFlags = MOUSEEVENTF_WHEEL;
            turn.mi.mouseData = static_cast<DWORD>(std::stoi(name.substr(5)));
            continue;
        }
        const auto named = std::find_if(std::begin(names), std::end(names),
                                        [&](const auto& entry) { return name == entry.first; });
        WORD key = named != std::end(names) ? named->second : 0;
        if (name.size() == 1) key = LOBYTE(::VkKeyScanW(name[0]));
        if (key == 0 || key == 0xFF) return false;
        inputs.push_back(KeyInput(key, false));
    }
    const std::size_t pressed = inputs.size();
    if (turn.mi.dwFlags != 0) inputs.push_back(turn);
    for (std::size_t i = pressed; i-- > 0;)
        inputs.push_back(KeyInput(inputs[i].ki.wVk, true));
    return ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) ==
           inputs.size();
}

inline void BringToFront(HWND main) {
    ::SetForegroundWindow(main);
    WaitFor(2000, [&] { return ::GetForegroundWindow() == main; });
}

// The window in front, the cursor over the middle of its client area.
inline void PointAtViewer(HWND main) {
    BringToFront(main);
    RECT client{};
    ::GetClientRect(main, &client);
    POINT centre{client.right / 2, client.bottom / 2};
    ::ClientToScreen(main, &centre);
    ::SetCursorPos(centre.x, centre.y);
}

// Exactly what choosing a menu item sends: its Win32 id, no control.
inline void PostCommand(HWND main, int commandId) {
    ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(Win32CommandId(commandId), 0), 0);
}

// The clipboard's text; with `put`, `text` is put there first (all else emptied, nothing
// put when it is empty). False when there was none to read.
inline bool Clipboard(std::wstring& text, bool put = false) {
    if (!::OpenClipboard(nullptr)) return false;
    if (put && ::EmptyClipboard() && !text.empty()) {
        const HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
        std::wcscpy(static_cast<wchar_t*>(::GlobalLock(block)), text.c_str());
        ::GlobalUnlock(block);
        if (::SetClipboardData(CF_UNICODETEXT, block) == nullptr) ::GlobalFree(block);
    }
    const HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    const auto* chars = data != nullptr ? static_cast<const wchar_t*>(::GlobalLock(data)) : nullptr;
    if (chars != nullptr) text.assign(chars, ::wcsnlen(chars, ::GlobalSize(data) / 2));
    if (chars != nullptr) ::GlobalUnlock(data);
    ::CloseClipboard();
    return chars != nullptr;
}

// Offers the files as Explorer does and drops them at once where the cursor is; the effect
// once the program has handled it, DROPEFFECT_NONE when the drop failed.
DWORD DropFiles(HWND main, const std::vector<std::wstring>& files);

// Starts the program with these arguments, without waiting; false when it could not start.
inline bool Launch(const std::wstring& program, const std::vector<std::wstring>& arguments,
                   PROCESS_INFORMATION& process) {
    std::wstring line = L"\"" + program + L"\"";
    for (const std::wstring& argument : arguments)
        line += L" \"" + argument + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process) != 0;
}

// Its exit code once it has ended, within `ms`; else STILL_ACTIVE.
inline DWORD ExitCode(const PROCESS_INFORMATION& process, DWORD ms) {
    DWORD code = STILL_ACTIVE;
    if (::WaitForSingleObject(process.hProcess, ms) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(process.hProcess, &code);
    return code;
}

// Ends the process if it still runs, and closes its handles.
inline void Finish(PROCESS_INFORMATION& process) {
    if (process.hProcess == nullptr) return;
    if (ExitCode(process, 0) == STILL_ACTIVE) ::TerminateProcess(process.hProcess, 1);
    ExitCode(process, WaitMs);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    process = {};
}

// The whole file; empty when it cannot be read.
inline std::string Bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class ReaderTest : public testing::Test {
  protected:
    // Sizes measured in the same device pixels as the program sees them.
    static void SetUpTestSuite() { ::SetProcessDPIAware(); }

    // The bundled samples (.TXT and .DOC) copied into a new folder,
    // with an empty LEER.TXT and a GROSS.TXT one byte larger than the largest document that
    // is loaded: sparse where the file system allows it, as Linux's does.
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::create_directory(folder_)) << "not new: " << folder_.string();
        const std::filesystem::path samples = FromBuild(BREVIKON_SOURCE_DIR "/samples");
        for (const auto& entry : std::filesystem::directory_iterator(samples)) {
            const std::filesystem::path name = entry.path().filename();
            if (name.extension() != L".TXT" && name.extension() != L".DOC") continue;
            std::filesystem::copy_file(entry.path(), folder_ / name);
            documents_.push_back(Path(name));
        }
        // In name order, so that a seed always draws the same files.
        std::sort(documents_.begin(), documents_.end());
        std::ofstream(folder_ / L"LEER.TXT").close();
        std::ofstream(folder_ / L"GROSS.TXT").close();
        std::filesystem::resize_file(folder_ / L"GROSS.TXT", MaxDocumentSize + 1);
    }

    // Ends a program still running and removes the folder.
    void TearDown() override {
        Finish(process_);
        std::error_code ignored;
        if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
    }

    std::wstring Path(const std::filesystem::path& name) const {
        return (folder_ / name).wstring();
    }

    // Starts the program (or a copy of it) with these arguments; with `wait`, until its main
    // window shows with the viewer in it and, given a document, the document's name in its
    // title.
    AssertionResult Start(const std::vector<std::wstring>& arguments, bool wait = true,
                          const std::wstring& program = ReaderProgram) {
        if (!Launch(program, arguments, process_))
            return AssertionFailure() << "cannot start " << program;
        const auto shown = [&] {
            main_ = FindWindowOf(process_.dwProcessId, false);
            return main_ != nullptr && ViewerOf(main_) != nullptr;
        };
        if (!wait) return AssertionSuccess();
        if (!WaitFor(StartWaitMs, shown))
            return AssertionFailure() << "no main window within " << StartWaitMs / 1000 << " s";
        return arguments.empty() ? AssertionSuccess() : WaitShows(TitleOf(arguments[0]));
    }

    // Ends the program: "close" its window, "command" Quit as from the menu, or a chord; then
    // (at once, when `how` is empty) waits for its end. Its exit code; STILL_ACTIVE, and a
    // failure, when it did not end.
    DWORD End(const std::wstring& how) {
        if (how == L"close") {
            ::PostMessageW(main_, WM_SYSCOMMAND, SC_CLOSE, 0);
        } else if (how == L"command") {
            PostCommand(main_, CommandQuit);
        } else if (!how.empty()) {
            BringToFront(main_);
            SendChord(how);
        }
        const DWORD code = ExitCode(process_, WaitMs);
        if (code == STILL_ACTIVE) ADD_FAILURE() << "the program did not end";
        return code;
    }

    // Each chord handled before the next, so that a menu or dialog it opens is there for the
    // next one; the cursor over the viewer, where the wheel turns.
    AssertionResult Keys(std::initializer_list<const wchar_t*> chords) {
        PointAtViewer(main_);
        for (const wchar_t* chord : chords) {
            if (!SendChord(chord)) return AssertionFailure() << "no such key: " << chord;
            if (!WaitUntilHandled(main_)) return AssertionFailure() << "no answer to " << chord;
        }
        return AssertionSuccess();
    }

    // A click into the middle of the viewer, which gives it the focus. The click is known to
    // be handled once it has moved the caret away from the start: one on a window still being
    // activated comes after the repaint that would mark its end.
    void ClickViewer() {
        const HWND viewer = ViewerOf(main_);
        Ask(viewer, EM_SETSEL, 0, 0);
        INPUT clicks[2] = {};
        clicks[0].type = clicks[1].type = INPUT_MOUSE;
        clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        DWORD_PTR selection = 0;
        const auto moved = [&] {
            return Ask(viewer, EM_GETSEL, 0, 0, &selection) && selection != 0;
        };
        bool handled = false;
        for (int click = 0; click < PressTries && !handled; ++click) {
            PointAtViewer(main_);
            ::SendInput(2, clicks, sizeof(INPUT));
            handled = WaitFor(PressWaitMs, moved);
        }
        EXPECT_TRUE(handled && WaitUntilHandled(main_)) << "no click was handled";
    }

    // Until the title (or the status field) reads `expected`.
    AssertionResult WaitShows(const std::wstring& expected, int field = -1) {
        std::wstring text;
        if (WaitFor(WaitMs, [&] {
                text = field < 0 ? WindowText(main_) : StatusText(main_, field);
                return text == expected;
            }))
            return AssertionSuccess();
        return AssertionFailure() << (field < 0 ? "the title" : "the status field") << " is \""
                                  << text << "\", expected \"" << expected << "\"";
    }

    // The title the program must show with `path` open.
    static std::wstring TitleOf(const std::wstring& path, bool analysis = false) {
        AppState state;
        state.currentPath.assign(path.begin(), path.end());
        state.analysisFlag = analysis;
        return Wide(TitleText(state));
    }

    // The message box's title and text, once OK is pressed.
    std::wstring AnswerMessage() {
        const HWND box = FindWindowOf(process_.dwProcessId, true, {}, false, StartWaitMs);
        if (box == nullptr) return L"<no message box>";
        const std::wstring read = ReadDialog(box);
        return Press(box, IDOK) ? read : read + L"<stays after OK>";
    }

    // Types `name` into the file dialog of this title and presses OK. The name the dialog had
    // proposed; in question_ the question it asks about the name (left open), if it asks one.
    std::wstring TypeIntoFileDialog(const std::wstring& title, const std::wstring& name) {
        const HWND dialog = FindWindowOf(process_.dwProcessId, true, title, false, StartWaitMs);
        // An edit, or a combo box, which passes the text on to its own edit.
        HWND field = ::GetDlgItem(dialog, 0x480);
        if (field == nullptr) field = ::GetDlgItem(dialog, 0x47c);
        std::wstring proposed;
        // The dialog fills its field after it is shown.
        WaitFor(2000, [&] { return !(proposed = WindowText(field)).empty(); });
        Ask(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        Press(dialog, IDOK, false);
        const auto answered = [&] {
            question_ = FindWindowOf(process_.dwProcessId, true, {}, true);
            return question_ != nullptr || !::IsWindowVisible(dialog);
        };
        EXPECT_TRUE(dialog != nullptr && WaitFor(WaitMs, answered))
            << "no file dialog \"" << title << "\", or it stays after OK";
        return proposed;
    }

    // Ctrl+S and TypeIntoFileDialog into the save dialog.
    std::wstring SaveAs(const std::wstring& name) {
        EXPECT_TRUE(Keys({L"ctrl+s"}));
        return TypeIntoFileDialog(Wide(SaveDialogTitle), name);
    }

    // brevikon-rtf.exe with these options on `document`; its output, empty when it failed.
    std::string Converted(std::vector<std::wstring> arguments, const std::wstring& document) {
        arguments.insert(arguments.end(), {L"-o", Path(L"converted.rtf"), document});
        PROCESS_INFORMATION process{};
        const DWORD code = Launch(ConverterProgram, arguments, process)
                               ? ExitCode(process, StartWaitMs)
                               : STILL_ACTIVE;
        Finish(process);
        EXPECT_EQ(code, 0u) << "brevikon-rtf.exe";
        return code == 0 ? Bytes(Path(L"converted.rtf")) : "";
    }

    std::filesystem::path folder_ = std::filesystem::temp_directory_path() /
                                    (L"brevikon-e2e-" + std::to_wstring(::GetCurrentProcessId()) +
                                     L"-" + std::to_wstring(::GetTickCount64()));
    std::vector<std::wstring> documents_;
    std::wstring document_ = Path(L"BRIEF.TXT");
    std::wstring other_ = Path(L"ATTRIBUT.DOC");
    PROCESS_INFORMATION process_{};
    HWND main_ = nullptr;
    HWND question_ = nullptr;
};

}  // namespace brevikon::e2e
