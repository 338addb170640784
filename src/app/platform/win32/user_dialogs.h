#pragma once
// The modal boxes: message boxes and the two common file dialogs.
#include <windows.h>

#include <commdlg.h>

#include <string>
#include <string_view>

#include "app/platform/platform.h"

namespace brevikon {

// OK only, with the icon. Owned by the main window while that is in the foreground;
// otherwise unowned but still modal for the whole program.
void ShowMessageBox(HWND mainWindow, std::u16string_view text, std::u16string_view title,
                    MessageIcon icon);

enum class FileDialogKind { Open, Save };

// The chosen path (at most 259 units), or the empty text when cancelled. Explorer style; the
// path must exist, the file need not; the save dialog asks before it yields an existing
// file; the process's current directory is left alone.
std::u16string ShowFileDialog(FileDialogKind kind, HWND owner, std::u16string_view title,
                              std::u16string_view defaultPath, std::u16string_view filter);

constexpr DWORD OpenDialogFlags =
    OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
// The analysis view proposes the document's RTF name too: without the question one Enter
// would replace a converted letter with its report.
constexpr DWORD SaveDialogFlags = OpenDialogFlags | OFN_OVERWRITEPROMPT;
// Room for the chosen path and its terminating NUL.
constexpr int FileDialogBufferUnits = 260;

}  // namespace brevikon
