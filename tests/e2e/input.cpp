// Keys and mouse, through the system's input queue like a user's; the
// clipboard a copy fills; the end of the program with its exit code.
#include <windows.h>

#include <richedit.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "driver.h"

namespace brevikon::e2e {

namespace {

WORD KeyCode(const std::wstring& name) {
    struct Named {
        const wchar_t* name;
        WORD key;
    };
    static const Named names[] = {
        {L"ctrl", VK_CONTROL},      {L"alt", VK_MENU},         {L"add", VK_ADD},
        {L"subtract", VK_SUBTRACT}, {L"oemplus", VK_OEM_PLUS}, {L"oemminus", VK_OEM_MINUS},
        {L"numpad0", VK_NUMPAD0},   {L"back", VK_BACK},        {L"delete", VK_DELETE},
        {L"insert", VK_INSERT},     {L"return", VK_RETURN},    {L"shift", VK_SHIFT},
    };
    for (const Named& named : names) {
        if (name == named.name) return named.key;
    }
    if (name.size() == 1) {
        const wchar_t c = name[0];
        if (c >= L'a' && c <= L'z') return static_cast<WORD>(c - L'a' + L'A');
        if ((c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9')) return c;
    }
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

}  // namespace

// "ctrl+o", "alt+f4", "a": modifiers held around the last key.
bool SendChord(const std::wstring& chord) {
    std::vector<WORD> keys;
    for (std::size_t start = 0; start <= chord.size();) {
        const std::size_t plus = std::min(chord.find(L'+', start), chord.size());
        const WORD key = KeyCode(chord.substr(start, plus - start));
        if (key == 0) return false;
        keys.push_back(key);
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

void PointAtViewer(HWND main) {
    BringToFront(main);
    RECT client{};
    ::GetClientRect(main, &client);
    POINT centre{(client.left + client.right) / 2, (client.top + client.bottom) / 2};
    ::ClientToScreen(main, &centre);
    ::SetCursorPos(centre.x, centre.y);
}

// A left click into the middle of the viewer.
void ClickViewer(HWND main) {
    PointAtViewer(main);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, clicks, sizeof(INPUT));
}

// Each chord handled before the next, so that a menu or dialog it opens is there for the
// next one to act on.
int Key(HWND main, const Call& call) {
    BringToFront(main);
    for (const std::wstring& chord : call.words) {
        if (!SendChord(chord)) return Fail(L"key " + chord);
        if (!WaitUntilHandled(main, DefaultWaitMs)) return Fail(L"the program did not answer");
    }
    return 0;
}

int Click(HWND main, const Call&) {
    ClickViewer(main);
    return WaitUntilHandled(main, DefaultWaitMs) ? 0 : Fail(L"the click was not handled");
}

int Wheel(HWND main, const Call& call) {
    PointAtViewer(main);
    const bool ctrl = call.words.front() == L"ctrl";
    std::vector<INPUT> inputs;
    if (ctrl) inputs.push_back(KeyInput(VK_CONTROL, false));
    for (std::size_t i = ctrl ? 1 : 0; i < call.words.size(); ++i) {
        INPUT turn{};
        turn.type = INPUT_MOUSE;
        turn.mi.dwFlags = MOUSEEVENTF_WHEEL;
        turn.mi.mouseData = static_cast<DWORD>(call.Number(i));
        inputs.push_back(turn);
    }
    if (ctrl) inputs.push_back(KeyInput(VK_CONTROL, true));
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    return WaitUntilHandled(main, DefaultWaitMs) ? 0 : Fail(L"the program did not answer");
}

bool EndProgram(HWND main, const std::wstring& how, DWORD ms, DWORD& code) {
    const HANDLE process =
        ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, ProcessOf(main));
    if (process == nullptr) return false;
    if (how == L"close") {
        ::PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (how == L"command") {
        PostCommand(main, brevikon::CommandQuit);
    } else {
        BringToFront(main);
        SendChord(how);
    }
    const bool ended =
        ::WaitForSingleObject(process, ms) == WAIT_OBJECT_0 && ::GetExitCodeProcess(process, &code);
    ::CloseHandle(process);
    return ended;
}

int Quit(HWND main, const Call& call) {
    DWORD code = 0;
    if (!EndProgram(main, call.words[0], call.Wait(1), code))
        return Fail(L"the program did not end");
    Print(L"exit=" + std::to_wstring(code));
    return 0;
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

int CopyViewer(HWND main, const Call&) {
    // Empty first, so that only this copy can put text there.
    if (!::OpenClipboard(nullptr)) return Fail(L"OpenClipboard");
    ::EmptyClipboard();
    ::CloseClipboard();
    // The click gives the viewer the focus; it must be handled before the selection is set,
    // or it would take the selection away again.
    ClickViewer(main);
    if (!WaitUntilHandled(main, DefaultWaitMs)) return Fail(L"the click was not handled");
    Ask(ViewerOf(main), EM_SETSEL, 0, -1);
    // A synthetic key can be lost while the X server moves the focus; a second try is noted
    // in the log, so a program that needs two presses is still seen.
    std::wstring text;
    const auto copied = [&] { return ClipboardText(text) && !text.empty(); };
    for (int attempt = 1; attempt <= 2; ++attempt) {
        BringToFront(main);
        SendChord(L"ctrl+c");
        if (WaitFor(DefaultWaitMs / 2, copied)) {
            if (attempt > 1) std::fputs("copy-viewer: copied on the second Ctrl+C\n", stderr);
            Print(text);
            return 0;
        }
    }
    const bool front = ::GetForegroundWindow() == main;
    return Fail(L"nothing was copied (foreground " +
                std::wstring(front ? L"the program" : L"another window") + L")");
}

int Clipboard(const Call&) {
    std::wstring text;
    if (!ClipboardText(text)) return Fail(L"no text on the clipboard");
    Print(text);
    return 0;
}

}  // namespace brevikon::e2e
