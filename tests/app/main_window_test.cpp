// Process start and end: the start-up sequence, its two failures, the command line, the
// shortcut table, and the clean-up order.
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/menu_table.h"
#include "app_fixture.h"

namespace brevikon::test {
namespace {

// The calls of a start without arguments, up to the first wait for an event.
const Calls StartUpCalls = {"Initialize",
                            "OpenMainWindow(Brevikon Reader, 920x700)",
                            "SetMinimumInnerSize(500x340)",
                            "SetMenuBar(3 menus)",
                            "SetShortcuts(8)",
                            "SetMenuCheck(8, on)",
                            "SetMenuCheck(9, off)",
                            "CreateStatusBar(-1, 110)",
                            "LoadRichTextLibrary",
                            "InnerSize",
                            "CreateViewerControl(920x700)",
                            "SetViewerTextLimit(2147483647)",
                            "SetViewerReadOnly(on)",
                            "RegisterFileDrop",
                            "SetViewerReadOnly(off)",
                            "SetViewerText()",
                            "SetViewerReadOnly(on)",
                            "SetStatusText(0, Keine Datei geoeffnet)",
                            "SetTitle(Brevikon Reader)",
                            "SetStatusText(1, Zoom 100 %)",
                            "CommandLine",
                            "WaitForEvent"};
const Calls EndCalls = {"DestroyMainWindow", "ReleaseRichTextLibrary", "Shutdown"};

Calls Tail(const Calls& calls, std::size_t count) {
    return Calls(calls.end() - static_cast<std::ptrdiff_t>(std::min(count, calls.size())),
                 calls.end());
}

TEST(ProcessStartTest, StartWithoutArgumentsThenCloseEndsWithZero) {
    FakePlatform platform;
    AppState state{ProcessHeap(), platform};
    // Anything but the documented start values would show up below.
    state.zoomPercent = 0;
    state.fontMode = FontMode::Proportional;
    state.analysisFlag = true;
    EXPECT_EQ(ProcessStart(state, platform), 0);
    Calls expected = StartUpCalls;
    expected.insert(expected.end(), EndCalls.begin(), EndCalls.end());
    EXPECT_EQ(platform.calls, expected);
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
    EXPECT_EQ(std::count_if(platform.calls.begin(), platform.calls.end(),
                            [](const std::string& call) { return call.starts_with("Read("); }),
              1);
    EXPECT_EQ(platform.title, u"a.doc - Brevikon Reader");
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(Tail(platform.calls, 4),
              (Calls{"WaitForEvent", "DestroyMainWindow", "ReleaseRichTextLibrary", "Shutdown"}));
    EXPECT_FALSE(state.documentImage.held());
}

TEST(ProcessStartTest, WindowFailureIsReportedAndEndsWithOne) {
    FakePlatform platform;
    AppState state{ProcessHeap(), platform};
    platform.windowOpens = false;
    EXPECT_EQ(ProcessStart(state, platform), 1);
    EXPECT_EQ(platform.calls,
              (Calls{"Initialize", "OpenMainWindow(Brevikon Reader, 920x700)",
                     "ShowMessage(Das Fenster konnte nicht erstellt werden. | Brevikon Reader | "
                     "error)",
                     "Shutdown"}));
}

// Shown over the open window; a library that did load is released after the window.
TEST(ProcessStartTest, MissingRichEditIsReportedOverTheOpenWindowAndEndsWithOne) {
    const std::string message =
        "ShowMessage(Die RichEdit-Komponente konnte nicht geladen werden. | Brevikon Reader | "
        "error)";
    FakePlatform platform;
    AppState state{ProcessHeap(), platform};
    platform.libraryLoads = false;
    EXPECT_EQ(ProcessStart(state, platform), 1);
    Calls expected(StartUpCalls.begin(), StartUpCalls.begin() + 9);
    expected.insert(expected.end(), {message, "DestroyMainWindow", "Shutdown"});
    EXPECT_EQ(platform.calls, expected);

    FakePlatform noControl;
    AppState other{ProcessHeap(), noControl};
    noControl.controlCreated = false;
    EXPECT_EQ(ProcessStart(other, noControl), 1);
    EXPECT_EQ(Tail(noControl.calls, 5),
              (Calls{"CreateViewerControl(920x700)", message, "DestroyMainWindow",
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

}  // namespace
}  // namespace brevikon::test
