// The program's dialogs and message boxes: found by process and title, read, and answered
// by their own buttons, as a user's click would.
#include <windows.h>

#include <string>

#include "driver.h"

namespace brevikon::e2e {

namespace {

constexpr wchar_t DialogClass[] = L"#32770";

// The first visible dialog of the process that `fits`, other than `except`.
template <class Fits>
HWND FindDialogWhere(DWORD process, Fits fits) {
    struct Search {
        DWORD process;
        Fits* fits;
        HWND found;
    } search{process, &fits, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (!::IsWindowVisible(window) || ClassOf(window) != DialogClass ||
                ProcessOf(window) != s->process || !(*s->fits)(window)) {
                return TRUE;
            }
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForDialog(const wchar_t* title, DWORD ms) {
    HWND dialog = nullptr;
    WaitFor(ms, [&] {
        const HWND main = AnyMainWindow();
        return main != nullptr && (dialog = FindDialog(ProcessOf(main), title)) != nullptr;
    });
    return dialog;
}

// A Yes/No box of the program's process, other than `except`.
HWND FindQuestion(DWORD process, HWND except) {
    return FindDialogWhere(process, [&](HWND window) {
        return window != except && ::GetDlgItem(window, IDYES) != nullptr &&
               ::GetDlgItem(window, IDNO) != nullptr;
    });
}

void PressButton(HWND dialog, int id) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

bool WaitGone(HWND window, DWORD ms) {
    return WaitFor(ms, [&] { return !::IsWindow(window) || !::IsWindowVisible(window); });
}

std::wstring StaticText(HWND dialog) {
    std::wstring text;
    ::EnumChildWindows(
        dialog,
        [](HWND child, LPARAM param) -> BOOL {
            if (ClassOf(child) == L"Static")
                *reinterpret_cast<std::wstring*>(param) += WindowText(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&text));
    return text;
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

}  // namespace

HWND FindDialog(DWORD process, const wchar_t* title) {
    return FindDialogWhere(
        process, [&](HWND window) { return title == nullptr || WindowText(window) == title; });
}

bool ReadMessageBox(DWORD ms, std::wstring& title, std::wstring& text) {
    const HWND dialog = WaitForDialog(nullptr, ms);
    if (dialog == nullptr) return false;
    title = WindowText(dialog);
    text = StaticText(dialog);
    PressButton(dialog, IDOK);
    return WaitGone(dialog, ms);
}

int DialogCancel(const std::wstring& title, DWORD ms) {
    const HWND dialog = WaitForDialog(title.c_str(), ms);
    if (dialog == nullptr) return Fail(L"no dialog \"" + title + L"\"");
    PressButton(dialog, IDCANCEL);
    if (!WaitGone(dialog, ms)) return Fail(L"dialog stays after Cancel");
    return 0;
}

int Message(const Call& call) {
    std::wstring title, text;
    if (!ReadMessageBox(call.Wait(0), title, text)) {
        return Fail(L"no message box, or it stays after OK");
    }
    Print(title);
    Print(text);
    return 0;
}

int Cancel(const Call& call) {
    return DialogCancel(call.words[0], call.Wait(1));
}

// Types the name into a file dialog's field and presses its default button; prints the
// name the dialog had preset. Null when there is no such dialog.
HWND TypeFileName(const Call& call) {
    const HWND dialog = WaitForDialog(call.words[0].c_str(), call.Wait(2));
    const HWND field = dialog != nullptr ? FileNameField(dialog) : nullptr;
    if (field == nullptr) return nullptr;
    // The dialog fills its field after it is shown.
    std::wstring preset;
    WaitFor(2000, [&] { return !(preset = WindowText(field)).empty(); });
    Print(L"preset=" + preset);
    ::SendMessageTimeoutW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(call.words[1].c_str()),
                          SMTO_ABORTIFHUNG, MessageTimeoutMs, nullptr);
    PressButton(dialog, IDOK);
    return dialog;
}

int DialogType(const Call& call) {
    const HWND dialog = TypeFileName(call);
    if (dialog == nullptr) return Fail(L"no file dialog \"" + call.words[0] + L"\"");
    if (!WaitGone(dialog, call.Wait(2))) return Fail(L"dialog stays after OK");
    return 0;
}

int DialogReplace(const Call& call) {
    const HWND dialog = TypeFileName(call);
    if (dialog == nullptr) return Fail(L"no file dialog \"" + call.words[0] + L"\"");
    HWND question = nullptr;
    WaitFor(call.Wait(2), [&] {
        question = FindQuestion(ProcessOf(dialog), dialog);
        return question != nullptr || !::IsWindowVisible(dialog);
    });
    if (question == nullptr) return Fail(L"the dialog took an existing file without asking");
    Print(WindowText(question));
    Print(StaticText(question));
    return 0;
}

int Answer(const Call& call) {
    const HWND main = AnyMainWindow();
    HWND question = nullptr;
    if (main == nullptr || !WaitFor(call.Wait(1), [&] {
            return (question = FindQuestion(ProcessOf(main), nullptr)) != nullptr;
        })) {
        return Fail(L"no question open");
    }
    PressButton(question, call.words[0] == L"yes" ? IDYES : IDNO);
    if (!WaitGone(question, call.Wait(1))) return Fail(L"the question stays after the answer");
    return 0;
}

}  // namespace brevikon::e2e
