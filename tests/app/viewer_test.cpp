// The viewer control: creation, and the exact message sequences of clear, show and zoom.
#include <gtest/gtest.h>

#include "app_fixture.h"
#include "rtf/rtf_buffer.h"

namespace brevikon::test {
namespace {

using Calls = std::vector<std::string>;

TEST(CreateViewerTest, LoadsLibraryCreatesControlSetsLimitAndReadOnly) {
    AppState state;
    FakePlatform platform;
    platform.windowOpen = true;
    EXPECT_EQ(CreateViewer(state, platform), FakePlatform::TheControl);
    EXPECT_EQ(platform.calls,
              (Calls{"LoadRichTextLibrary", "InnerSize", "CreateViewerControl(920x700)",
                     "SetViewerTextLimit(2147483647)", "SetViewerReadOnly(on)"}));
    EXPECT_EQ(state.richTextLibrary, FakePlatform::TheLibrary);
    EXPECT_EQ(state.viewerControl, FakePlatform::TheControl);
}

TEST(CreateViewerTest, SmallWindowGivesAtLeastFiftyEachWayButOnlyAtCreation) {
    AppState state;
    FakePlatform platform;
    platform.windowOpen = true;
    platform.innerSize = {30, 20};
    CreateViewer(state, platform);
    EXPECT_EQ(platform.calls.at(2), "CreateViewerControl(50x50)");
    platform.innerSize = {60, 49};
    CreateViewer(state, platform);
    EXPECT_EQ(platform.calls.at(7), "CreateViewerControl(60x50)");
}

TEST(CreateViewerTest, NoLibraryGivesNoControlAndNoLibrary) {
    AppState state;
    FakePlatform platform;
    platform.libraryLoads = false;
    EXPECT_EQ(CreateViewer(state, platform), NoControl);
    EXPECT_EQ(platform.calls, (Calls{"LoadRichTextLibrary"}));
    EXPECT_EQ(state.richTextLibrary, NoLibrary);
}

TEST(CreateViewerTest, FailedControlKeepsTheLibrarySoThatItCanBeReleased) {
    AppState state;
    FakePlatform platform;
    platform.windowOpen = true;
    platform.controlCreated = false;
    EXPECT_EQ(CreateViewer(state, platform), NoControl);
    EXPECT_EQ(platform.calls,
              (Calls{"LoadRichTextLibrary", "InnerSize", "CreateViewerControl(920x700)"}));
    EXPECT_EQ(state.richTextLibrary, FakePlatform::TheLibrary);
    EXPECT_EQ(state.viewerControl, NoControl);
}

using ViewerTest = AppTest;

TEST_F(ViewerTest, ClearLiftsReadOnlyOnlyAroundEmptyingAndResetsTheBuffer) {
    AppendRtf(state.rtfBuffer, "{\\rtf1 x}");
    state.zoomPercent = 130;
    ClearViewer(state, platform);
    EXPECT_EQ(platform.calls,
              (Calls{"SetViewerReadOnly(off)", "SetViewerText()", "SetViewerReadOnly(on)"}));
    EXPECT_EQ(state.rtfBuffer.used, 0);
    EXPECT_EQ(state.rtfBuffer.capacity, RtfBufferInitialCapacity);
    EXPECT_EQ(state.zoomPercent, 130);
}

TEST_F(ViewerTest, ClearWithoutControlStillGivesTheBufferStorage) {
    AppState fresh;
    FakePlatform quiet;
    ClearViewer(fresh, quiet);
    EXPECT_TRUE(quiet.calls.empty());
    EXPECT_NE(fresh.rtfBuffer.storage, nullptr);
}

TEST_F(ViewerTest, ShowSendsRtfBetweenReadOnlyOffAndOnThenScrollsAndZooms) {
    AppendRtf(state.rtfBuffer, "{\\rtf1 Hallo}");
    state.rtfBuffer.storage[state.rtfBuffer.used] = 'X';  // must become the terminator
    ShowRtfBuffer(state, platform);
    EXPECT_EQ(platform.calls,
              (Calls{"SetViewerReadOnly(off)", "SetViewerRtf", "SetViewerReadOnly(on)",
                     "ScrollViewerToTop", "SetViewerZoom(0/0)"}));
    EXPECT_EQ(platform.viewerRtf, "{\\rtf1 Hallo}");
    EXPECT_EQ(state.rtfBuffer.used, 13);
    EXPECT_EQ(state.rtfBuffer.storage[13], 0);
    EXPECT_TRUE(platform.viewerReadOnly);
}

TEST_F(ViewerTest, ShowReappliesTheCurrentZoomAfterEachAcceptedLoad) {
    AppendRtf(state.rtfBuffer, "{\\rtf1 a}");
    state.zoomPercent = 250;
    ShowRtfBuffer(state, platform);
    EXPECT_EQ(platform.calls.back(), "SetViewerZoom(250/100)");
}

TEST_F(ViewerTest, RefusedRtfShowsTheSentenceWithoutScrollOrZoomAndTheBufferKeepsIt) {
    AppendRtf(state.rtfBuffer, "{\\rtf1 kaputt");
    platform.rtfAccepted = false;
    ShowRtfBuffer(state, platform);
    EXPECT_EQ(platform.calls,
              (Calls{"SetViewerReadOnly(off)", "SetViewerRtf", "SetViewerReadOnly(on)",
                     "SetViewerText(Der Inhalt konnte nicht dargestellt werden.)"}));
    EXPECT_EQ(state.rtfBuffer.content(), "{\\rtf1 kaputt");
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(ViewerTest, EmptyBufferOrNoStorageLeavesThePreviousContent) {
    AppendRtf(state.rtfBuffer, "{\\rtf1 alt}");
    ShowRtfBuffer(state, platform);
    platform.ForgetCalls();

    ResetRtfBuffer(state.rtfBuffer);
    ShowRtfBuffer(state, platform);
    ReleaseRtfBuffer(state.rtfBuffer);
    ShowRtfBuffer(state, platform);
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_EQ(platform.viewerRtf, "{\\rtf1 alt}");
}

TEST_F(ViewerTest, ZoomSendsZeroOverZeroOnlyForOneHundred) {
    const std::pair<std::int64_t, std::string> cases[] = {
        {100, "SetViewerZoom(0/0)"},
        {110, "SetViewerZoom(110/100)"},
        {40, "SetViewerZoom(40/100)"},
        {400, "SetViewerZoom(400/100)"},
    };
    for (const auto& [zoom, call] : cases) {
        platform.ForgetCalls();
        state.zoomPercent = zoom;
        ApplyZoom(state, platform);
        EXPECT_EQ(platform.calls, Calls{call}) << zoom;
    }
}

TEST(ApplyZoomTest, WithoutControlDoesNothing) {
    AppState state;
    FakePlatform platform;
    state.zoomPercent = 150;
    ApplyZoom(state, platform);
    ResetRtfBuffer(state.rtfBuffer);
    AppendRtf(state.rtfBuffer, "x");
    ShowRtfBuffer(state, platform);
    EXPECT_TRUE(platform.calls.empty());
}

}  // namespace
}  // namespace brevikon::test
