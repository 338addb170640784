#pragma once
// The menu bar, its check marks, and the shortcut table that raises the same command ids.
#include <windows.h>

#include <span>

#include "app/platform/platform.h"

namespace brevikon {

// Menu items and shortcuts carry the command id plus this base. Id 0 (Open) would otherwise
// share its number with every separator, and the shortcut lookup, which searches the system
// menu first, would find a separator there and never raise the command.
constexpr int Win32CommandBase = 0x100;

// The Win32 id of a command, and back; the latter is negative for ids that are no command.
constexpr UINT Win32CommandId(int commandId) {
    return static_cast<UINT>(commandId + Win32CommandBase);
}
constexpr int CommandIdOf(UINT win32Id) {
    return static_cast<int>(win32Id) - Win32CommandBase;
}

// A menu bar with one pop-up per menu, items and separators in order. nullptr on failure.
HMENU BuildMenuBar(std::span<const Menu> menus);

// Ctrl + key for each shortcut. The menu already shows them, so the table inverts nothing.
HACCEL BuildShortcutTable(std::span<const Shortcut> shortcuts);

// Sets or clears the check mark of the item with this command id, in whichever pop-up.
void SetMenuCheckMark(HMENU menuBar, int id, bool checked);

}  // namespace brevikon
