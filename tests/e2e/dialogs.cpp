// The program's dialogs and message boxes: found by process and title, read, and answered
// by their own buttons, as a user's click would.
#include <windows.h>

#include <string>

#include "driver.h"

namespace brevikon::e2e {

namespace {

// A message box over a start that Wine makes slow can take this long; any other dialog
// shows at once, and the wait ends as soon as it does.
constexpr DWORD DialogWaitMs = 60000;

// The first visible dialog of the process that `fits`.
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
            if (!::IsWindowVisible(window) || ClassOf(window) != L"#32770" ||
                ProcessOf(window) != s->process || !(*s->fits)(window)) {
                return TRUE;
            }
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

template <class Fits>
HWND WaitForDialog(Fits fits) {
    HWND dialog = nullptr;
    WaitFor(DialogWaitMs, [&] {
        const HWND main = AnyMainWindow();
        return main != nullptr && (dialog = FindDialogWhere(ProcessOf(main), fits)) != nullptr;
    });
    return dialog;
}

bool IsQuestion(HWND dialog) {
    return ::GetDlgItem(dialog, IDYES) != nullptr && ::GetDlgItem(dialog, IDNO) != nullptr;
}

// The title, a line feed, then the text of the static controls.
std::wstring Read(HWND dialog) {
    std::wstring text = WindowText(dialog) + L"\n";
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

void Click(HWND dialog, int button) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
}

bool Gone(HWND dialog) {
    return !::IsWindow(dialog) || !::IsWindowVisible(dialog);
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

HWND FindDialog(DWORD process) {
    return FindDialogWhere(process, [](HWND) { return true; });
}

bool PressInDialog(const std::wstring& title, int button, std::wstring& read) {
    const bool yesNo = button == IDYES || button == IDNO;
    const HWND dialog = WaitForDialog([&](HWND window) {
        return (title.empty() || WindowText(window) == title) && (!yesNo || IsQuestion(window));
    });
    if (dialog == nullptr) return false;
    read = Read(dialog);
    Click(dialog, button);
    return WaitFor(DefaultWaitMs, [&] { return Gone(dialog); });
}

int PressCommand(const Call& call) {
    const std::wstring& name = call.words[0];
    const int button = name == L"ok"       ? IDOK
                       : name == L"cancel" ? IDCANCEL
                       : name == L"yes"    ? IDYES
                                           : IDNO;
    std::wstring read;
    if (!PressInDialog(call.words.size() > 1 ? call.words[1] : L"", button, read))
        return Fail(L"no such dialog, or it stays after " + name);
    Print(read);
    return 0;
}

// The name the dialog had preset is printed, then the question it asks about the name, if
// it asks one; that stays open.
int DialogType(const Call& call) {
    const HWND dialog =
        WaitForDialog([&](HWND window) { return WindowText(window) == call.words[0]; });
    const HWND field = dialog != nullptr ? FileNameField(dialog) : nullptr;
    if (field == nullptr) return Fail(L"no file dialog \"" + call.words[0] + L"\"");
    // The dialog fills its field after it is shown.
    std::wstring preset;
    WaitFor(2000, [&] { return !(preset = WindowText(field)).empty(); });
    Print(L"preset=" + preset);
    Ask(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(call.words[1].c_str()));
    HWND question = nullptr;
    const auto answered = [&] {
        question = FindDialogWhere(
            ProcessOf(dialog), [&](HWND window) { return window != dialog && IsQuestion(window); });
        return question != nullptr || Gone(dialog);
    };
    Click(dialog, IDOK);
    if (!WaitFor(DefaultWaitMs, answered)) return Fail(L"dialog stays after OK");
    if (question != nullptr) Print(Read(question));
    return 0;
}

}  // namespace brevikon::e2e
