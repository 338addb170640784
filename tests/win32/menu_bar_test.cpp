// The menu bar and the shortcut table as Windows holds them after they are built.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/platform/win32/menu_bar.h"

namespace brevikon {
namespace {

std::wstring ItemText(HMENU menu, UINT position) {
    wchar_t text[128] = {};
    ::GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
    return text;
}

TEST(MenuBar, PopupsItemsSeparatorsAndIds) {
    const MenuItem file[] = {{0, u"&Oeffnen...\tStrg+O"}, {}, {4, u"&Ende\tStrg+Q"}};
    const MenuItem view[] = {{8, u"Schrift: &Monospace"}};
    const Menu menus[] = {{u"&Datei", file}, {u"&Ansicht", view}};
    const HMENU bar = BuildMenuBar(menus);
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(::GetMenuItemCount(bar), 2);
    EXPECT_EQ(ItemText(bar, 0), L"&Datei");
    EXPECT_EQ(ItemText(bar, 1), L"&Ansicht");

    const HMENU popup = ::GetSubMenu(bar, 0);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(::GetMenuItemCount(popup), 3);
    EXPECT_EQ(ItemText(popup, 0), L"&Oeffnen...\tStrg+O");
    // Open (command 0) must not share its Win32 id with the separators, which have id 0.
    EXPECT_EQ(CommandIdOf(::GetMenuItemID(popup, 0)), 0);
    EXPECT_NE(::GetMenuItemID(popup, 0), 0u);
    EXPECT_TRUE(::GetMenuState(popup, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(CommandIdOf(::GetMenuItemID(popup, 2)), 4);
    ::DestroyMenu(bar);
}

TEST(MenuBar, CheckMarksFoundByIdInAnyPopup) {
    const MenuItem file[] = {{0, u"&Oeffnen..."}};
    const MenuItem view[] = {{8, u"Schrift: &Monospace"}, {9, u"Schrift: &Proportional"}};
    const Menu menus[] = {{u"&Datei", file}, {u"&Ansicht", view}};
    const HMENU bar = BuildMenuBar(menus);
    SetMenuCheckMark(bar, 8, true);
    EXPECT_TRUE(::GetMenuState(bar, Win32CommandId(8), MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(::GetMenuState(bar, Win32CommandId(9), MF_BYCOMMAND) & MF_CHECKED);
    SetMenuCheckMark(bar, 8, false);
    SetMenuCheckMark(bar, 9, true);
    EXPECT_FALSE(::GetMenuState(bar, Win32CommandId(8), MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(::GetMenuState(bar, Win32CommandId(9), MF_BYCOMMAND) & MF_CHECKED);
    // Never greyed by it.
    EXPECT_FALSE(::GetMenuState(bar, Win32CommandId(9), MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
    ::DestroyMenu(bar);
}

TEST(ShortcutTable, CtrlWithVirtualKeysRaisingTheCommandIds) {
    const Shortcut shortcuts[] = {{0x4F, 0}, {0x6B, 5}, {0x30, 7}};
    const HACCEL table = BuildShortcutTable(shortcuts);
    ASSERT_NE(table, nullptr);
    ACCEL entries[3] = {};
    ASSERT_EQ(::CopyAcceleratorTableW(table, entries, 3), 3);
    for (const ACCEL& entry : entries)
        EXPECT_EQ(entry.fVirt & ~0x80, FVIRTKEY | FCONTROL | FNOINVERT);
    EXPECT_EQ(entries[0].key, 0x4F);
    EXPECT_EQ(CommandIdOf(entries[0].cmd), 0);
    EXPECT_NE(entries[0].cmd, 0);
    EXPECT_EQ(entries[1].key, VK_ADD);
    EXPECT_EQ(CommandIdOf(entries[1].cmd), 5);
    EXPECT_EQ(entries[2].key, '0');
    EXPECT_EQ(CommandIdOf(entries[2].cmd), 7);
    ::DestroyAcceleratorTable(table);
    EXPECT_EQ(BuildShortcutTable({}), nullptr);
}

TEST(CommandIds, RoundTripAndZeroIsNoCommand) {
    for (int id = 0; id <= 10; ++id)
        EXPECT_EQ(CommandIdOf(Win32CommandId(id)), id);
    // WM_COMMAND 0 (a separator, or anything else without a command) maps outside 0..10.
    EXPECT_LT(CommandIdOf(0), 0);
}

}  // namespace
}  // namespace brevikon
