// What the Win32 layer computes itself about sizes: unit scaling, the window's outer size
// and position, the inner size it reports, and the status bar's field edges.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "app/platform/platform.h"
#include "app/platform/win32/display_units.h"
#include "app/platform/win32/status_layout.h"
#include "app/platform/win32/window_geometry.h"

namespace brevikon {
namespace {

TEST(DisplayUnits, ScaleToPixelsRoundingHalvesAway) {
    EXPECT_EQ(UnitsToPixels(920, 96), 920);
    EXPECT_EQ(UnitsToPixels(500, 144), 750);
    EXPECT_EQ(UnitsToPixels(5, 144), 8);      // 7.5
    EXPECT_EQ(UnitsToPixels(110, 120), 138);  // 137.5
    EXPECT_EQ(UnitsToPixels(5, 120), 6);      // 6.25
    EXPECT_EQ(UnitsToPixels(7, 120), 9);      // 8.75
    EXPECT_EQ(UnitsToPixels(340, 168), 595);  // 595.0
    EXPECT_EQ(UnitsToPixels(-5, 144), -8);    // -7.5, symmetric with +5
    EXPECT_EQ(UnitsToPixels(0, 144), 0);
}

TEST(DisplayUnits, ScaleBackToNearestUnit) {
    EXPECT_EQ(PixelsToUnits(750, 144), 500);
    EXPECT_EQ(PixelsToUnits(751, 144), 501);  // 500.67
    EXPECT_EQ(PixelsToUnits(749, 144), 499);  // 499.33
    EXPECT_EQ(PixelsToUnits(1, 192), 1);      // exactly one half
    EXPECT_EQ(PixelsToUnits(3, 192), 2);      // 1.5
    EXPECT_EQ(PixelsToUnits(137, 120), 110);  // 109.6
    EXPECT_EQ(PixelsToUnits(920, 96), 920);
}

TEST(DisplayUnits, NoResolutionMeasuredMeansNinetySix) {
    EXPECT_EQ(UnitsToPixels(123, 0), 123);
    EXPECT_EQ(PixelsToUnits(123, 0), 123);
}

TEST(WindowGeometry, OuterSizeAddsTheSameFrameToEveryInnerSize) {
    const PixelSize small = OuterSizeForInner({500, 340}, MainWindowStyle, MainWindowExStyle);
    const PixelSize large = OuterSizeForInner({920, 700}, MainWindowStyle, MainWindowExStyle);
    EXPECT_GT(small.width, 500);
    EXPECT_GT(small.height - 340, small.width - 500) << "the caption adds to the height only";
    EXPECT_EQ(large.width - 920, small.width - 500);
    EXPECT_EQ(large.height - 700, small.height - 340);

    // Counted without a menu bar: a menu bar attached later comes out of the client area.
    RECT withMenu{0, 0, 920, 700};
    ::AdjustWindowRectEx(&withMenu, MainWindowStyle, TRUE, MainWindowExStyle);
    EXPECT_LT(large.height, withMenu.bottom - withMenu.top);
}

TEST(WindowGeometry, CentredUnlessLargerThanTheScreen) {
    EXPECT_EQ(CentredOrigin(936, 1280), 172);
    EXPECT_EQ(CentredOrigin(937, 1280), 171);  // the odd pixel goes to the right
    EXPECT_EQ(CentredOrigin(1280, 1280), 0);
    EXPECT_EQ(CentredOrigin(1396, 1280), 0);  // 920 units at 144 DPI with frame
}

TEST(WindowGeometry, InnerHeightCountsOneMenuBarWhileAttached) {
    const DisplayScale normal{96, 96};
    Extent inner = InnerSizeInUnits({920, 681}, true, 19, normal);
    EXPECT_EQ(inner.width, 920);
    EXPECT_EQ(inner.height, 700);
    inner = InnerSizeInUnits({920, 681}, false, 19, normal);
    EXPECT_EQ(inner.height, 681);

    // Each axis with its own resolution.
    const DisplayScale uneven{144, 120};
    inner = InnerSizeInUnits({1380, 850}, true, 25, uneven);
    EXPECT_EQ(inner.width, 920);
    EXPECT_EQ(inner.height, 700);  // 875 x 96 / 120
}

TEST(WindowGeometry, ToPixelsScalesEachAxisByItsOwnResolution) {
    const PixelSize pixels = ToPixels({500, 340}, {144, 120});
    EXPECT_EQ(pixels.width, 750);
    EXPECT_EQ(pixels.height, 425);
}

TEST(StatusLayout, ZoomFieldEndsLeftOfTheGripUnlessMaximised) {
    const std::int64_t widths[] = {StatusFieldRest, 110};
    // 96 DPI, grip 17: field 1 ends 5 + 17 pixels left of the edge and is 110 wide.
    EXPECT_EQ(StatusRightReserve(false, 96, 17), 22);
    EXPECT_EQ(StatusPartEdges(widths, 1000, 96, 22), (std::vector<int>{868, 978}));
    // 144 DPI, grip 26: 5 units are 8 pixels (7.5 rounded), 110 units 165 pixels.
    EXPECT_EQ(StatusRightReserve(false, 144, 26), 34);
    EXPECT_EQ(StatusPartEdges(widths, 1500, 144, 34), (std::vector<int>{1301, 1466}));
    // Maximised: no grip, the field reaches the edge.
    EXPECT_EQ(StatusRightReserve(true, 144, 26), 0);
    EXPECT_EQ(StatusPartEdges(widths, 1500, 144, 0), (std::vector<int>{1335, 1500}));
}

TEST(StatusLayout, RestFieldShrinksToNothingButNeverBelow) {
    const std::int64_t widths[] = {StatusFieldRest, 110};
    EXPECT_EQ(StatusPartEdges(widths, 100, 96, 22), (std::vector<int>{0, 110}));
    EXPECT_EQ(StatusPartEdges(widths, 0, 96, 22), (std::vector<int>{0, 110}));
}

TEST(StatusLayout, RestFieldMayStandAnywhere) {
    const std::int64_t middle[] = {50, StatusFieldRest, 30};
    EXPECT_EQ(StatusPartEdges(middle, 200, 96, 0), (std::vector<int>{50, 170, 200}));
    const std::int64_t fixedOnly[] = {10, 20};
    EXPECT_EQ(StatusPartEdges(fixedOnly, 200, 96, 0), (std::vector<int>{10, 30}));
}

}  // namespace
}  // namespace brevikon
