// Event handling: close and Quit, size, drops, command dispatch and the zoom steps.
#include <gtest/gtest.h>

#include "app/command_ids.h"
#include "app/event_loop.h"
#include "app_fixture.h"

namespace brevikon::test {
namespace {

using Calls = std::vector<std::string>;
using EventLoopTest = AppTest;

AppEvent Command(int id) {
    return {AppEventKind::Command, id, {}};
}
AppEvent Drop(std::u16string names) {
    return {AppEventKind::Drop, 0, std::move(names)};
}

TEST_F(EventLoopTest, CloseRequestAndQuitEndTheLoopWithoutAQuestion) {
    Load(u"a.doc", SmallDocument());
    EXPECT_EQ(HandleEvent(state, platform, {AppEventKind::Close, 0, {}}), LoopControl::Quit);
    EXPECT_EQ(HandleEvent(state, platform, Command(CommandQuit)), LoopControl::Quit);
    EXPECT_TRUE(platform.calls.empty());
}

TEST_F(EventLoopTest, IdsOutsideTheCommandsDoNothing) {
    const std::string before = Observed();
    for (const int id : {-1, 11, 12, 1000}) {
        EXPECT_EQ(HandleEvent(state, platform, Command(id)), LoopControl::Continue);
    }
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_EQ(Observed(), before);
}

TEST_F(EventLoopTest, SizeFitsTheViewerToTheInnerSizeWithoutMinimum) {
    platform.innerSize = {30, 20};
    HandleEvent(state, platform, {AppEventKind::Size, 0, {}});
    EXPECT_EQ(platform.calls, (Calls{"InnerSize", "MoveViewer(0, 0, 30x20)"}));
}

TEST(ResizeViewerTest, WithoutControlDoesNothing) {
    AppState state;
    FakePlatform platform;
    HandleEvent(state, platform, {AppEventKind::Size, 0, {}});
    EXPECT_TRUE(platform.calls.empty());
}

TEST_F(EventLoopTest, DropOpensOnlyTheFirstName) {
    platform.AddFile(u"C:\\a.doc", SmallDocument());
    platform.AddFile(u"C:\\b.doc", SmallDocument());
    platform.AddFile(u"C:\\c.doc", SmallDocument());
    HandleEvent(state, platform, Drop(u"C:\\a.doc\nC:\\b.doc\nC:\\c.doc"));
    EXPECT_EQ(state.currentPath, u"C:\\a.doc");
    EXPECT_EQ(platform.calls.front(), "QueryFileSize(C:\\a.doc)");
    for (const std::string& call : platform.calls) {
        EXPECT_EQ(call.find("b.doc"), std::string::npos) << call;
        EXPECT_EQ(call.find("c.doc"), std::string::npos) << call;
    }
}

TEST_F(EventLoopTest, DropWithAFolderOrAnEmptyNameFirstOpensNothing) {
    platform.folders.insert(u"C:\\Ordner");
    platform.AddFile(u"C:\\a.doc", SmallDocument());
    const std::string before = Observed();
    HandleEvent(state, platform, Drop(u"C:\\Ordner\nC:\\a.doc"));
    HandleEvent(state, platform, Drop(u"\nC:\\a.doc"));
    HandleEvent(state, platform, Drop(u""));
    EXPECT_EQ(platform.calls, (Calls{"QueryFileSize(C:\\Ordner)"}));
    EXPECT_EQ(Observed(), before);
}

TEST_F(EventLoopTest, ZoomInReachesFourHundredAfterThirtyStepsAndThenStops) {
    for (int step = 1; step <= 30; ++step) {
        platform.ForgetCalls();
        HandleEvent(state, platform, Command(CommandZoomIn));
        EXPECT_EQ(state.zoomPercent, 100 + 10 * step);
        const std::string zoom = std::to_string(state.zoomPercent);
        EXPECT_EQ(
            platform.calls,
            (Calls{"SetViewerZoom(" + zoom + "/100)", "SetStatusText(0, Keine Datei geoeffnet)",
                   "SetTitle(Brevikon Reader)", "SetStatusText(1, Zoom " + zoom + " %)"}));
    }
    platform.ForgetCalls();
    HandleEvent(state, platform, Command(CommandZoomIn));
    EXPECT_EQ(state.zoomPercent, 400);
    EXPECT_TRUE(platform.calls.empty());
}

TEST_F(EventLoopTest, ZoomOutReachesFortyAfterSixStepsAndThenStops) {
    for (int step = 1; step <= 6; ++step)
        HandleEvent(state, platform, Command(CommandZoomOut));
    EXPECT_EQ(state.zoomPercent, 40);
    EXPECT_EQ(platform.statusFields[1], u"Zoom 40 %");
    EXPECT_EQ(platform.zoomNumerator, 40);
    platform.ForgetCalls();
    HandleEvent(state, platform, Command(CommandZoomOut));
    EXPECT_EQ(state.zoomPercent, 40);
    EXPECT_TRUE(platform.calls.empty());
}

TEST_F(EventLoopTest, ZoomResetAppliesAndRefreshesEvenAtOneHundred) {
    HandleEvent(state, platform, Command(CommandZoomReset));
    EXPECT_EQ(platform.calls,
              (Calls{"SetViewerZoom(0/0)", "SetStatusText(0, Keine Datei geoeffnet)",
                     "SetTitle(Brevikon Reader)", "SetStatusText(1, Zoom 100 %)"}));
    HandleEvent(state, platform, Command(CommandZoomIn));
    HandleEvent(state, platform, Command(CommandZoomReset));
    EXPECT_EQ(state.zoomPercent, 100);
    EXPECT_EQ(platform.zoomNumerator, 0);
    EXPECT_EQ(platform.zoomDenominator, 0);
}

TEST_F(EventLoopTest, ZoomKeepsTheDocumentLine) {
    Load(u"C:\\BRIEF.TXT", SmallDocument());
    HandleEvent(state, platform, Command(CommandZoomOut));
    EXPECT_EQ(platform.statusFields[0], u"BRIEF.TXT   (5 Bytes)   Text ab 0");
    EXPECT_EQ(platform.statusFields[1], u"Zoom 90 %");
    EXPECT_EQ(platform.title, u"BRIEF.TXT - Brevikon Reader");
}

TEST_F(EventLoopTest, EachIdRunsItsCommand) {
    platform.AddFile(u"a.doc", SmallDocument());
    platform.openAnswers.push_back(u"a.doc");
    HandleEvent(state, platform, Command(CommandOpen));
    EXPECT_EQ(state.currentPath, u"a.doc");

    HandleEvent(state, platform, Command(CommandAnalyseStructure));
    EXPECT_EQ(state.analysisFlag, 1);

    HandleEvent(state, platform, Command(CommandProportionalFont));
    EXPECT_EQ(state.fontMode, FontModeProportional);
    EXPECT_EQ(state.analysisFlag, 0);
    HandleEvent(state, platform, Command(CommandMonospaceFont));
    EXPECT_EQ(state.fontMode, FontModeMonospace);

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

TEST_F(EventLoopTest, LoopRunsUntilCloseAndTakesNoFurtherEvent) {
    platform.events = {{AppEventKind::Size, 0, {}},
                       Command(CommandZoomIn),
                       {AppEventKind::Close, 0, {}},
                       Command(CommandZoomIn)};
    RunEventLoop(state, platform);
    EXPECT_EQ(platform.eventsTaken, 3);
    EXPECT_EQ(state.zoomPercent, 110);
    EXPECT_EQ(platform.events.size(), 1u);
}

TEST_F(EventLoopTest, QuitEndsTheLoopLikeClose) {
    platform.events = {Command(CommandQuit), Command(CommandZoomIn)};
    RunEventLoop(state, platform);
    EXPECT_EQ(platform.eventsTaken, 1);
    EXPECT_EQ(state.zoomPercent, 100);
}

}  // namespace
}  // namespace brevikon::test
