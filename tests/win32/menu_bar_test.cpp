// The menu bar and the shortcut table as Windows holds them after they are built.
#include <windows.h>

#include <gtest/gtest.h>

#include <span>
#include <string>

#include "app/menu_table.h"
#include "app/platform/win32/menu_bar.h"
#include "app/platform/win32/win32_platform.h"

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

// The program's own table in the program's own window, as Windows then holds it: every
// title, item text (access letter and shortcut label), command id and separator.
TEST(MenuBar, TheMainWindowHoldsTheProgramsMenuTable) {
    Win32Platform platform;
    platform.Initialize();
    ASSERT_TRUE(platform.OpenMainWindow(u"Menue", {920, 700}));
    platform.SetMenuBar(MainMenus());
    const HMENU bar = ::GetMenu(::FindWindowW(L"BrevikonReaderMainWindow", L"Menue"));
    const std::span<const Menu> menus = MainMenus();
    ASSERT_EQ(::GetMenuItemCount(bar), static_cast<int>(menus.size()));
    for (UINT m = 0; m < menus.size(); ++m) {
        EXPECT_EQ(ItemText(bar, m), std::wstring(menus[m].title.begin(), menus[m].title.end()));
        const HMENU popup = ::GetSubMenu(bar, static_cast<int>(m));
        ASSERT_EQ(::GetMenuItemCount(popup), static_cast<int>(menus[m].items.size()));
        for (UINT i = 0; i < menus[m].items.size(); ++i) {
            const MenuItem& item = menus[m].items[i];
            const bool separator = ::GetMenuState(popup, i, MF_BYPOSITION) & MF_SEPARATOR;
            EXPECT_EQ(separator, item.id == MenuSeparator) << m << "/" << i;
            if (separator) continue;
            EXPECT_EQ(ItemText(popup, i), std::wstring(item.text.begin(), item.text.end()));
            EXPECT_EQ(CommandIdOf(::GetMenuItemID(popup, static_cast<int>(i))), item.id);
        }
    }
    platform.DestroyMainWindow();
    platform.Shutdown();
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
