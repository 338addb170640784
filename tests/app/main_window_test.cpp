// Process start and end: the start-up order, its failures, the command line, the
// shortcut table, the clean-up order, and the About box.
#include <gtest/gtest.h>

#include "app/about.h"
#include "app/main_window.h"
#include "app/menu_table.h"
#include "app_fixture.h"
#include "base/version.h"

namespace brevikon::test {
namespace {

// The end of every started run: the library only after the window, whose control was made
// from it (the fake checks that too).
const Calls EndCalls = {"WaitForEvent", "DestroyMainWindow", "ReleaseRichTextLibrary", "Shutdown"};

Calls Tail(const Calls& calls, std::size_t count) {
    return Calls(calls.end() - static_cast<std::ptrdiff_t>(std::min(count, calls.size())),
                 calls.end());
}

TEST(ProcessStartTest, StartWithoutArgumentsShowsNoDocumentAndCloseEndsWithZero) {
    FakePlatform platform;
    AppState state{ProcessHeap(), platform};
    // Anything but the documented start values would show up below.
    state.zoomPercent = 0;
    state.fontMode = FontMode::Proportional;
    state.analysisFlag = true;
    EXPECT_EQ(ProcessStart(state, platform), 0);
    // Menu and status bar come before the viewer, which fills the room left between them;
    // files may be dropped once the viewer is there.
    EXPECT_TRUE(platform.InOrder({"Initialize", "OpenMainWindow(Brevikon Reader, 920x700)",
                                  "SetMinimumInnerSize(500x340)", "SetMenuBar(3 menus)",
                                  "SetShortcuts(8)", "CreateStatusBar(-1, 110)", "InnerSize",
                                  "CreateViewerControl(920x700)", "SetViewerTextLimit(2147483647)",
                                  "SetViewerReadOnly(on)", "RegisterFileDrop", "CommandLine"}))
        << testing::PrintToString(platform.calls);
    EXPECT_EQ(Tail(platform.calls, 4), EndCalls);
    EXPECT_EQ(platform.title, u"Brevikon Reader");
    EXPECT_EQ(platform.statusFields[0], u"Keine Datei geoeffnet");
    EXPECT_EQ(platform.statusFields[1], u"Zoom 100 %");
    EXPECT_TRUE(platform.checks.at(8));
    EXPECT_FALSE(platform.checks.at(9));
    EXPECT_TRUE(platform.viewerReadOnly);
    EXPECT_EQ(state.charTable[0x84], u'\u00E4');  // filled: code page 437 a-umlaut
    EXPECT_EQ(state.rtfBuffer.storage, nullptr);
    EXPECT_EQ(state.richTextLibrary, NoLibrary);
    EXPECT_TRUE(platform.messages.empty());
}

TEST(ProcessStartTest, OnlyTheFirstOfTwoArgumentsIsOpenedAndReleasedAtTheEnd) {
    FakePlatform platform;
    AppState state{ProcessHeap(), platform};
    platform.commandLine =
        u"\"C:\\Programme\\Brevikon Reader.exe\" \"C:\\Eigene Texte\\a.doc\" b.doc";
    platform.AddFile(u"C:\\Eigene Texte\\a.doc", SmallDocument());
    platform.AddFile(u"b.doc", "x");
    EXPECT_EQ(ProcessStart(state, platform), 0);
    EXPECT_EQ(platform.Count("Read("), 1);
    EXPECT_EQ(platform.title, u"a.doc - Brevikon Reader");
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_FALSE(state.documentImage.held());  // released at the end
}

// A window that cannot be made is said so, and there is nothing to release. A viewer that
// cannot be made is said so over the open window, which then goes, and the library with it.
TEST(ProcessStartTest, StartFailuresAreReportedAndEndWithOne) {
    const std::string noRichEdit =
        "ShowMessage(Die RichEdit-Komponente konnte nicht geladen werden. | Brevikon Reader | "
        "error)";
    FakePlatform noWindow;
    AppState state{ProcessHeap(), noWindow};
    noWindow.windowOpens = false;
    EXPECT_EQ(ProcessStart(state, noWindow), 1);
    EXPECT_EQ(noWindow.calls,
              (Calls{"Initialize", "OpenMainWindow(Brevikon Reader, 920x700)",
                     "ShowMessage(Das Fenster konnte nicht erstellt werden. | Brevikon Reader | "
                     "error)",
                     "Shutdown"}));

    FakePlatform noLibrary;
    AppState other{ProcessHeap(), noLibrary};
    noLibrary.libraryLoads = false;
    EXPECT_EQ(ProcessStart(other, noLibrary), 1);
    EXPECT_TRUE(noLibrary.InOrder({"CreateStatusBar(-1, 110)", "LoadRichTextLibrary"}));
    EXPECT_EQ(Tail(noLibrary.calls, 3), (Calls{noRichEdit, "DestroyMainWindow", "Shutdown"}));

    FakePlatform noControl;
    AppState third{ProcessHeap(), noControl};
    noControl.controlCreated = false;
    EXPECT_EQ(ProcessStart(third, noControl), 1);
    EXPECT_EQ(Tail(noControl.calls, 5),
              (Calls{"CreateViewerControl(920x700)", noRichEdit, "DestroyMainWindow",
                     "ReleaseRichTextLibrary", "Shutdown"}));
}

TEST(MenuTableTest, EightCtrlShortcutsWithKeypadZoomAndMainKeyboardZero) {
    const std::pair<std::uint16_t, int> expected[] = {{0x4F, 0}, {0x53, 1}, {0x57, 2}, {0x41, 3},
                                                      {0x51, 4}, {0x6B, 5}, {0x6D, 6}, {0x30, 7}};
    const auto shortcuts = MainShortcuts();
    ASSERT_EQ(shortcuts.size(), std::size(expected));
    for (std::size_t i = 0; i < shortcuts.size(); ++i) {
        EXPECT_EQ(shortcuts[i].virtualKey, expected[i].first) << i;
        EXPECT_EQ(shortcuts[i].id, expected[i].second) << i;
    }
}

// The wording is the program's own; what can go wrong is what is filled in, and the end.
TEST(AboutTest, InfoBoxWithVersionAndCompilerAndNoEmptyLastLine) {
    FakePlatform platform;
    ShowAbout(platform);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].title, u"Info");
    EXPECT_EQ(platform.messages[0].icon, MessageIcon::Information);
    const std::u16string& text = platform.messages[0].text;
    EXPECT_TRUE(text.starts_with(u"Brevikon Reader " + AsciiText(BREVIKON_VERSION) + u"\n"));
    EXPECT_NE(text.find(u"erstellt mit " + AsciiText(BREVIKON_COMPILER) + u"\n\n"),
              std::u16string::npos);
    EXPECT_FALSE(text.ends_with(u"\n"));
}

}  // namespace
}  // namespace brevikon::test
