// The menu bar and the shortcut table as Windows holds them after they are built.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/platform/win32/menu_bar.h"

namespace brevikon {
namespace {

std::wstring ItemText(HMENU menu, UINT position) {
    wchar_t text[128] = {};
    ::GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
    return text;
}

bool Checked(HMENU bar, int id) {
    return ::GetMenuState(bar, Win32CommandId(id), MF_BYCOMMAND) & MF_CHECKED;
}

TEST(MenuBar, PopupsItemsSeparatorsIdsAndCheckMarks) {
    const MenuItem file[] = {{0, u"&Oeffnen...\tStrg+O"}, {}, {4, u"&Ende\tStrg+Q"}};
    const MenuItem view[] = {{8, u"Schrift: &Monospace"}, {9, u"Schrift: &Proportional"}};
    const Menu menus[] = {{u"&Datei", file}, {u"&Ansicht", view}};
    const HMENU bar = BuildMenuBar(menus);
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(::GetMenuItemCount(bar), 2);
    EXPECT_EQ(ItemText(bar, 0), L"&Datei");
    EXPECT_EQ(ItemText(bar, 1), L"&Ansicht");
    const HMENU popup = ::GetSubMenu(bar, 0);
    ASSERT_EQ(::GetMenuItemCount(popup), 3);
    EXPECT_EQ(ItemText(popup, 0), L"&Oeffnen...\tStrg+O");
    // Open (command 0) must not share its Win32 id with the separators, which have id 0.
    EXPECT_EQ(CommandIdOf(::GetMenuItemID(popup, 0)), 0);
    EXPECT_LT(CommandIdOf(::GetMenuItemID(popup, 1)), 0);
    EXPECT_TRUE(::GetMenuState(popup, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(CommandIdOf(::GetMenuItemID(popup, 2)), 4);

    // Check marks are found by id in any pop-up, and never grey an item.
    SetMenuCheckMark(bar, 8, true);
    EXPECT_TRUE(Checked(bar, 8));
    EXPECT_FALSE(Checked(bar, 9));
    SetMenuCheckMark(bar, 8, false);
    SetMenuCheckMark(bar, 9, true);
    EXPECT_FALSE(Checked(bar, 8));
    EXPECT_TRUE(Checked(bar, 9));
    EXPECT_FALSE(::GetMenuState(bar, Win32CommandId(9), MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
    ::DestroyMenu(bar);
}

TEST(ShortcutTable, CtrlWithVirtualKeysRaisingTheCommandIds) {
    const Shortcut shortcuts[] = {{0x4F, 0}, {0x6B, 5}, {0x30, 7}};
    const HACCEL table = BuildShortcutTable(shortcuts);
    ASSERT_NE(table, nullptr);
    ACCEL entries[3] = {};
    ASSERT_EQ(::CopyAcceleratorTableW(table, entries, 3), 3);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(entries[i].fVirt & ~0x80, FVIRTKEY | FCONTROL | FNOINVERT);
        EXPECT_EQ(entries[i].key, shortcuts[i].virtualKey);  // VK_ADD, then '0'
        EXPECT_EQ(CommandIdOf(entries[i].cmd), shortcuts[i].id);
    }
    EXPECT_NE(entries[0].cmd, 0);
    ::DestroyAcceleratorTable(table);
    EXPECT_EQ(BuildShortcutTable({}), nullptr);
}

}  // namespace
}  // namespace brevikon
