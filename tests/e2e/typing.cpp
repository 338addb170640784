// Rules the running program must keep that only its real window can show: its viewer takes
// no typed or pasted text.
#include <windows.h>

#include <richedit.h>

#include <cstring>
#include <string>

#include "driver.h"

namespace brevikon::e2e {

namespace {

bool PutOnClipboard(const std::wstring& text) {
    if (!::OpenClipboard(nullptr)) return false;
    ::EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    const HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool put = false;
    if (block != nullptr) {
        std::memcpy(::GlobalLock(block), text.c_str(), bytes);
        ::GlobalUnlock(block);
        put = ::SetClipboardData(CF_UNICODETEXT, block) != nullptr;
        if (!put) ::GlobalFree(block);
    }
    ::CloseClipboard();
    return put;
}

}  // namespace

// Everything selected, then what a user might type or paste over it: if the viewer took
// any of it, its text would change.
int TypeIntoViewer(HWND main, const Call&) {
    const HWND viewer = ViewerOf(main);
    const std::wstring before = WindowText(viewer);
    if (!PutOnClipboard(L"eingefuegt")) return Fail(L"nothing to paste");
    ClickViewer(main);
    if (!WaitUntilHandled(main, DefaultWaitMs)) return Fail(L"the click was not handled");
    Ask(viewer, EM_SETSEL, 0, -1);
    for (const wchar_t* chord :
         {L"x", L"return", L"back", L"delete", L"ctrl+v", L"shift+insert", L"ctrl+x", L"ctrl+z"}) {
        if (!SendChord(chord)) return Fail(std::wstring(L"key ") + chord);
        if (!WaitUntilHandled(main, DefaultWaitMs)) return Fail(L"the program did not answer");
    }
    if (WindowText(viewer) != before) return Fail(L"the viewer's text changed");
    Print(L"unchanged");
    return 0;
}

}  // namespace brevikon::e2e
