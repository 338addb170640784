// The clipboard: what a copy from the viewer puts there, and whether it is still there once
// the program has ended.
#include <windows.h>

#include <richedit.h>

#include <cwchar>
#include <string>

#include "driver.h"

namespace brevikon::e2e {

namespace {

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

int Clipboard(const Call&) {
    std::wstring text;
    if (!ClipboardText(text)) return Fail(L"no text on the clipboard");
    Print(text);
    return 0;
}

constexpr Command Rows[] = {
    {L"copy-viewer", L"",
     L"empties the clipboard, selects the viewer's text, presses Ctrl+C; prints the copy",
     OnWindow<CopyViewer>},
    {L"clipboard", L"", L"the text on the clipboard (also once the program has ended)", Clipboard},
};

}  // namespace

std::span<const Command> ClipboardCommands() {
    return Rows;
}

}  // namespace brevikon::e2e
