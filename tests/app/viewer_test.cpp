// The viewer control: its least size, and the message sequences of show and clear.
#include <gtest/gtest.h>

#include "app/event_loop.h"
#include "app_fixture.h"
#include "rtf/rtf_buffer.h"

namespace brevikon::test {
namespace {

// The window may start smaller than the viewer's least size; resizes then follow it exactly.
TEST(CreateViewerTest, ControlIsAtLeastFiftyEachWayButOnlyAtCreation) {
    FakePlatform platform;
    AppState state{ProcessHeap(), platform};
    platform.windowOpen = true;
    for (const auto& [inner, created] : {std::pair{Extent{30, 20}, "CreateViewerControl(50x50)"},
                                         std::pair{Extent{60, 49}, "CreateViewerControl(60x50)"}}) {
        platform.ForgetCalls();
        platform.innerSize = inner;
        CreateViewer(state, platform);
        EXPECT_EQ(platform.calls.at(2), created);
    }
    platform.ForgetCalls();
    HandleEvent(state, platform, {AppEventKind::Size, 0, {}});
    EXPECT_EQ(platform.calls, (Calls{"InnerSize", "MoveViewer(0, 0, 60x49)"}));
}

TEST(ViewerWithoutControlTest, NothingReachesThePlatformButTheBufferGetsStorage) {
    FakePlatform platform;
    AppState state{ProcessHeap(), platform};
    ClearViewer(state, platform);
    EXPECT_NE(state.rtfBuffer.storage, nullptr);
    state.zoomPercent = 150;
    ApplyZoom(state, platform);
    AppendRtf(state.rtfBuffer, "x");
    ShowRtfBuffer(state, platform);
    HandleEvent(state, platform, {AppEventKind::Size, 0, {}});
    EXPECT_TRUE(platform.calls.empty());
}

using ViewerTest = AppTest;

TEST_F(ViewerTest, ShowSendsRtfBetweenReadOnlyOffAndOnThenScrollsAndReappliesTheZoom) {
    AppendRtf(state.rtfBuffer, "{\\rtf1 Hallo}");
    state.rtfBuffer.storage[state.rtfBuffer.used] = 'X';  // must become the terminator
    state.zoomPercent = 250;
    ShowRtfBuffer(state, platform);
    EXPECT_EQ(platform.calls,
              (Calls{"SetViewerReadOnly(off)", "SetViewerRtf", "SetViewerReadOnly(on)",
                     "ScrollViewerToTop", "SetViewerZoom(250/100)"}));
    EXPECT_EQ(platform.viewerRtf, "{\\rtf1 Hallo}");
    EXPECT_EQ(state.rtfBuffer.used, 13);
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

}  // namespace
}  // namespace brevikon::test
