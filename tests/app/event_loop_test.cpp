// Event handling: close and Quit, size, drops, command dispatch and the zoom steps.
#include <gtest/gtest.h>

#include "app/command_ids.h"
#include "app/event_loop.h"
#include "app_fixture.h"

namespace brevikon::test {
namespace {

using EventLoopTest = AppTest;

AppEvent Command(int id) {
    return {AppEventKind::Command, id, {}};
}
AppEvent Drop(std::u16string names) {
    return {AppEventKind::Drop, 0, std::move(names)};
}

TEST_F(EventLoopTest, CloseAndQuitEndTheLoopUnaskedOtherIdsDoNothing) {
    Load(u"a.doc", SmallDocument());
    const std::string before = Observed();
    EXPECT_EQ(HandleEvent(state, platform, {AppEventKind::Close, 0, {}}), LoopControl::Quit);
    EXPECT_EQ(HandleEvent(state, platform, Command(CommandQuit)), LoopControl::Quit);
    for (const int id : {-1, 11, 12, 1000})
        EXPECT_EQ(HandleEvent(state, platform, Command(id)), LoopControl::Continue);
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_EQ(Observed(), before);
}

TEST_F(EventLoopTest, DropOpensOnlyTheFirstNameAndOnlyWhenItIsAFile) {
    platform.folders.insert(u"C:\\Ordner");
    platform.AddFile(u"C:\\a.doc", SmallDocument());
    const std::string before = Observed();
    HandleEvent(state, platform, Drop(u"C:\\Ordner\nC:\\a.doc"));
    HandleEvent(state, platform, Drop(u"\nC:\\a.doc"));
    HandleEvent(state, platform, Drop(u""));
    EXPECT_EQ(platform.calls, (Calls{"Read(C:\\Ordner)"}));
    EXPECT_EQ(Observed(), before);

    platform.AddFile(u"C:\\b.doc", SmallDocument());
    platform.ForgetCalls();
    HandleEvent(state, platform, Drop(u"C:\\a.doc\nC:\\b.doc\nC:\\Ordner"));
    EXPECT_EQ(state.currentPath, u"C:\\a.doc");
    for (const std::string& call : platform.calls)
        EXPECT_EQ(call.find("b.doc"), std::string::npos) << call;
}

TEST_F(EventLoopTest, ZoomStepsByTenBetweenFortyAndFourHundredAndResets) {
    for (int step = 1; step <= 30; ++step) {
        platform.ForgetCalls();
        HandleEvent(state, platform, Command(CommandZoomIn));
        ASSERT_EQ(state.zoomPercent, 100 + 10 * step);
    }
    EXPECT_EQ(platform.calls,
              (Calls{"SetViewerZoom(400/100)", "SetStatusText(0, Keine Datei geoeffnet)",
                     "SetTitle(Brevikon Reader)", "SetStatusText(1, Zoom 400 %)"}));
    platform.ForgetCalls();
    HandleEvent(state, platform, Command(CommandZoomIn));
    EXPECT_EQ(state.zoomPercent, 400);
    EXPECT_TRUE(platform.calls.empty());

    for (int step = 1; step <= 36; ++step)
        HandleEvent(state, platform, Command(CommandZoomOut));
    EXPECT_EQ(state.zoomPercent, 40);
    EXPECT_EQ(platform.statusFields[1], u"Zoom 40 %");
    EXPECT_EQ(platform.viewerZoom, "40/100");
    platform.ForgetCalls();
    HandleEvent(state, platform, Command(CommandZoomOut));
    EXPECT_EQ(state.zoomPercent, 40);
    EXPECT_TRUE(platform.calls.empty());

    // Reset applies and refreshes even when already at 100.
    HandleEvent(state, platform, Command(CommandZoomReset));
    HandleEvent(state, platform, Command(CommandZoomReset));
    const Calls reset = {"SetViewerZoom(0/0)", "SetStatusText(0, Keine Datei geoeffnet)",
                         "SetTitle(Brevikon Reader)", "SetStatusText(1, Zoom 100 %)"};
    Calls twice = reset;
    twice.insert(twice.end(), reset.begin(), reset.end());
    EXPECT_EQ(platform.calls, twice);
    EXPECT_EQ(state.zoomPercent, 100);
}

TEST_F(EventLoopTest, WheelZoomTakesTheMenuStepsPerNotchWithinTheBounds) {
    const struct {
        int notches;
        std::int64_t zoom;
    } turns[] = {{1, 110}, {-3, 80}, {0, 80}, {40, 400}, {-100, 40}};
    for (const auto& turn : turns) {
        EXPECT_EQ(HandleEvent(state, platform, {AppEventKind::WheelZoom, turn.notches, {}}),
                  LoopControl::Continue);
        EXPECT_EQ(state.zoomPercent, turn.zoom) << turn.notches;
        EXPECT_EQ(platform.statusFields[1],
                  u"Zoom " + Utf8ToUtf16(std::to_string(turn.zoom)) + u" %");
        EXPECT_EQ(platform.viewerZoom, std::to_string(turn.zoom) + "/100");
    }
}

TEST_F(EventLoopTest, EachIdRunsItsCommand) {
    platform.AddFile(u"a.doc", SmallDocument());
    platform.openAnswers.push_back(u"a.doc");
    HandleEvent(state, platform, Command(CommandOpen));
    EXPECT_EQ(state.currentPath, u"a.doc");
    HandleEvent(state, platform, Command(CommandAnalyseStructure));
    EXPECT_TRUE(state.analysisFlag);
    HandleEvent(state, platform, Command(CommandProportionalFont));
    EXPECT_EQ(state.fontMode, FontMode::Proportional);
    EXPECT_FALSE(state.analysisFlag);
    HandleEvent(state, platform, Command(CommandMonospaceFont));
    EXPECT_EQ(state.fontMode, FontMode::Monospace);
    platform.saveAnswers.push_back(u"a.rtf");
    HandleEvent(state, platform, Command(CommandSaveAsRtf));
    EXPECT_EQ(platform.writtenFiles.count(u"a.rtf"), 1u);
    HandleEvent(state, platform, Command(CommandClose));
    EXPECT_EQ(state.currentPath, u"");
    platform.ForgetCalls();
    HandleEvent(state, platform, Command(CommandAbout));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].title, u"Info");
}

TEST_F(EventLoopTest, LoopRunsUntilCloseOrQuitAndTakesNoFurtherEvent) {
    platform.events = {{AppEventKind::Size, 0, {}},
                       Command(CommandZoomIn),
                       Command(CommandQuit),
                       Command(CommandZoomIn)};
    RunEventLoop(state, platform);
    platform.events = {{AppEventKind::Close, 0, {}}, Command(CommandZoomIn)};
    RunEventLoop(state, platform);
    EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.end(), "WaitForEvent"), 4);
    EXPECT_EQ(state.zoomPercent, 110);
}

}  // namespace
}  // namespace brevikon::test
