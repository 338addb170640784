#pragma once
// The menu bar, its check marks, and the shortcut table that raises the same command ids.
#include <windows.h>

#include <span>

#include "app/platform/platform.h"

namespace brevikon {

// A menu bar with one pop-up per menu, items and separators in order. nullptr on failure.
HMENU BuildMenuBar(std::span<const Menu> menus);

// Ctrl + key for each shortcut. The menu already shows them, so the table inverts nothing.
HACCEL BuildShortcutTable(std::span<const Shortcut> shortcuts);

// Sets or clears the check mark of the item with this command id, in whichever pop-up.
void SetMenuCheckMark(HMENU menuBar, int id, bool checked);

}  // namespace brevikon
