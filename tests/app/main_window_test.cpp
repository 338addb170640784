// Process start and end: the start-up sequence, its two failures, the command line, the
// shortcut table, and the clean-up order.
#include <gtest/gtest.h>

#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/menu_table.h"
#include "fake_platform.h"

namespace brevikon::test {
namespace {

using Calls = std::vector<std::string>;

// The calls of a start without arguments, up to the first wait for an event.
const Calls StartUpCalls = {
    "Initialize",
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
};

const Calls EndCalls = {"DestroyMainWindow", "ReleaseRichTextLibrary", "Shutdown"};

TEST(ProcessStartTest, StartWithoutArgumentsThenCloseEndsWithZero) {
    AppState state;
    FakePlatform platform;
    // Anything but the documented start values would show up below.
    state.zoomPercent = 0;
    state.fontMode = 7;
    state.analysisFlag = 1;
    EXPECT_EQ(ProcessStart(state, platform), 0);

    Calls expected = StartUpCalls;
    expected.push_back("WaitForEvent");
    expected.insert(expected.end(), EndCalls.begin(), EndCalls.end());
    EXPECT_EQ(platform.calls, expected);
    EXPECT_EQ(platform.title, u"Brevikon Reader");
    EXPECT_EQ(platform.statusFields[0], u"Keine Datei geoeffnet");
    EXPECT_EQ(platform.statusFields[1], u"Zoom 100 %");
    EXPECT_EQ(platform.viewerContent, ViewerContent::Empty);
    EXPECT_EQ(state.charTable[0x84], u'\u00E4');  // filled: code page 437 a-umlaut
    EXPECT_EQ(state.rtfBuffer.storage, nullptr);
    EXPECT_EQ(state.richTextLibrary, NoLibrary);
    EXPECT_TRUE(platform.messages.empty());
}

TEST(ProcessStartTest, OnlyTheFirstOfTwoArgumentsIsOpened) {
    AppState state;
    FakePlatform platform;
    platform.commandLine =
        u"\"C:\\Programme\\Brevikon Reader.exe\" \"C:\\Eigene Texte\\a.doc\" b.doc";
    platform.AddFile(u"C:\\Eigene Texte\\a.doc", std::string("Hi\r\n\x1a", 5));
    platform.AddFile(u"b.doc", "x");
    platform.events = {{AppEventKind::Close, 0, {}}};
    EXPECT_EQ(ProcessStart(state, platform), 0);
    int queries = 0;
    for (const std::string& call : platform.calls)
        queries += call.rfind("QueryFileSize", 0) == 0;
    EXPECT_EQ(queries, 1);
    EXPECT_EQ(platform.title, u"a.doc - Brevikon Reader");
    // The document was released at the end.
    EXPECT_FALSE(state.documentImage.held());
}

TEST(ProcessStartTest, ClosingWithADocumentShownEndsAtOnceWithZero) {
    AppState state;
    FakePlatform platform;
    platform.commandLine = u"brevikon.exe a.doc";
    platform.AddFile(u"a.doc", std::string("Hi\r\n\x1a", 5));
    EXPECT_EQ(ProcessStart(state, platform), 0);
    EXPECT_TRUE(platform.messages.empty());
    const Calls tail(platform.calls.end() - 4, platform.calls.end());
    EXPECT_EQ(tail,
              (Calls{"WaitForEvent", "DestroyMainWindow", "ReleaseRichTextLibrary", "Shutdown"}));
}

TEST(ProcessStartTest, WindowFailureIsReportedAndEndsWithOne) {
    AppState state;
    FakePlatform platform;
    platform.windowOpens = false;
    EXPECT_EQ(ProcessStart(state, platform), 1);
    EXPECT_EQ(platform.calls,
              (Calls{"Initialize", "OpenMainWindow(Brevikon Reader, 920x700)",
                     "ShowMessage(Das Fenster konnte nicht erstellt werden. | Brevikon Reader | "
                     "error)",
                     "Shutdown"}));
}

TEST(ProcessStartTest, MissingRichEditIsReportedOverTheOpenWindowAndEndsWithOne) {
    AppState state;
    FakePlatform platform;
    platform.libraryLoads = false;
    EXPECT_EQ(ProcessStart(state, platform), 1);
    const Calls expected = {
        "Initialize",
        "OpenMainWindow(Brevikon Reader, 920x700)",
        "SetMinimumInnerSize(500x340)",
        "SetMenuBar(3 menus)",
        "SetShortcuts(8)",
        "SetMenuCheck(8, on)",
        "SetMenuCheck(9, off)",
        "CreateStatusBar(-1, 110)",
        "LoadRichTextLibrary",
        "ShowMessage(Die RichEdit-Komponente konnte nicht geladen werden. | Brevikon Reader | "
        "error)",
        "DestroyMainWindow",
        "Shutdown",
    };
    EXPECT_EQ(platform.calls, expected);
}

TEST(ProcessStartTest, ControlFailureReleasesTheLoadedLibraryAfterTheWindow) {
    AppState state;
    FakePlatform platform;
    platform.controlCreated = false;
    EXPECT_EQ(ProcessStart(state, platform), 1);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, u"Die RichEdit-Komponente konnte nicht geladen werden.");
    const Calls tail(platform.calls.end() - 3, platform.calls.end());
    EXPECT_EQ(tail, EndCalls);
}

TEST(MenuTableTest, EightCtrlShortcutsWithKeypadZoomAndMainKeyboardZero) {
    const std::pair<std::uint16_t, int> expected[] = {
        {0x4F, 0}, {0x53, 1}, {0x57, 2}, {0x41, 3}, {0x51, 4}, {0x6B, 5}, {0x6D, 6}, {0x30, 7},
    };
    const auto shortcuts = MainShortcuts();
    ASSERT_EQ(shortcuts.size(), std::size(expected));
    for (std::size_t i = 0; i < shortcuts.size(); ++i) {
        EXPECT_EQ(shortcuts[i].virtualKey, expected[i].first) << i;
        EXPECT_EQ(shortcuts[i].id, expected[i].second) << i;
    }
}

}  // namespace
}  // namespace brevikon::test
