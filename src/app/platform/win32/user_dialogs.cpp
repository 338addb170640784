#include "app/platform/win32/user_dialogs.h"

#include <cderr.h>

#include <algorithm>

#include "app/platform/win32/dialog_strings.h"
#include "app/platform/win32/wide_text.h"

namespace brevikon {

void ShowMessageBox(HWND mainWindow, std::u16string_view text, std::u16string_view title,
                    MessageIcon icon) {
    const HWND owner =
        mainWindow != nullptr && ::GetForegroundWindow() == mainWindow ? mainWindow : nullptr;
    UINT style = MB_OK | (icon == MessageIcon::Error ? MB_ICONERROR : MB_ICONINFORMATION);
    // Without an owner the box would leave the main window usable behind it.
    if (owner == nullptr) style |= MB_TASKMODAL;
    const std::wstring wideText = Wide(text);
    const std::wstring wideTitle = Wide(title);
    ::MessageBoxW(owner, wideText.c_str(), wideTitle.c_str(), style);
}

namespace {

bool RunDialog(FileDialogKind kind, OPENFILENAMEW& dialog) {
    return (kind == FileDialogKind::Open ? ::GetOpenFileNameW(&dialog)
                                         : ::GetSaveFileNameW(&dialog)) != FALSE;
}

}  // namespace

std::u16string ShowFileDialog(FileDialogKind kind, HWND owner, std::u16string_view title,
                              std::u16string_view defaultPath, std::u16string_view filter) {
    const std::wstring filterPairs = FilterPairs(filter);
    const DialogStart start = SplitDefaultPath(defaultPath);
    const std::wstring wideTitle = Wide(title);

    wchar_t file[FileDialogBufferUnits] = {};
    const std::size_t presetLength =
        std::min<std::size_t>(start.fileName.size(), FileDialogBufferUnits - 1);
    std::copy_n(start.fileName.begin(), presetLength, file);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filterPairs.empty() ? nullptr : filterPairs.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = FileDialogBufferUnits;
    dialog.lpstrInitialDir = start.directory.empty() ? nullptr : start.directory.c_str();
    dialog.lpstrTitle = wideTitle.c_str();
    dialog.Flags = kind == FileDialogKind::Save ? SaveDialogFlags : OpenDialogFlags;
    // A name typed without extension gets ".rtf" from the dialog itself, so that its question
    // is about the file that will be written, not about one that is not there.
    dialog.lpstrDefExt = kind == FileDialogKind::Save ? L"rtf" : nullptr;

    if (!RunDialog(kind, dialog)) {
        // A preset name the dialog will not take (odd characters from a command line)
        // must not lock the user out of the dialog: start again without it.
        if (::CommDlgExtendedError() != FNERR_INVALIDFILENAME || file[0] == L'\0') return {};
        std::fill(std::begin(file), std::end(file), L'\0');
        if (!RunDialog(kind, dialog)) return {};
    }
    file[FileDialogBufferUnits - 1] = L'\0';
    return Utf16(file);
}

}  // namespace brevikon
