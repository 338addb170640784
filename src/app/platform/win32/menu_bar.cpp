#include "app/platform/win32/menu_bar.h"

#include <vector>

#include "app/platform/win32/wide_text.h"

namespace brevikon {

HMENU BuildMenuBar(std::span<const Menu> menus) {
    const HMENU bar = ::CreateMenu();
    if (bar == nullptr) return nullptr;
    for (const Menu& menu : menus) {
        const HMENU popup = ::CreatePopupMenu();
        if (popup == nullptr) continue;
        for (const MenuItem& item : menu.items) {
            if (item.id == MenuSeparator) {
                ::AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
            } else {
                // '&' and the tab before the shortcut label are the menu's own notation.
                const std::wstring text = Wide(item.text);
                ::AppendMenuW(popup, MF_STRING, Win32CommandId(item.id), text.c_str());
            }
        }
        const std::wstring title = Wide(menu.title);
        ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), title.c_str());
    }
    return bar;
}

HACCEL BuildShortcutTable(std::span<const Shortcut> shortcuts) {
    if (shortcuts.empty()) return nullptr;
    std::vector<ACCEL> table;
    table.reserve(shortcuts.size());
    for (const Shortcut& shortcut : shortcuts) {
        table.push_back(ACCEL{FVIRTKEY | FCONTROL | FNOINVERT, shortcut.virtualKey,
                              static_cast<WORD>(Win32CommandId(shortcut.id))});
    }
    return ::CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
}

void SetMenuCheckMark(HMENU menuBar, int id, bool checked) {
    if (menuBar == nullptr) return;
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    info.fState = checked ? MFS_CHECKED : MFS_UNCHECKED;
    ::SetMenuItemInfoW(menuBar, Win32CommandId(id), FALSE, &info);
}

}  // namespace brevikon
