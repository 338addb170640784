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

// Rounded to the nearest, halves away from zero; no resolution measured means 96.
TEST(DisplayUnits, ScaleToPixelsAndBackRoundingHalvesAway) {
    const struct {
        std::int64_t units;
        int dpi;
        std::int64_t pixels;
    } toPixels[] = {
        {920, 96, 920}, {500, 144, 750}, {5, 144, 8},   {110, 120, 138}, {5, 120, 6},
        {7, 120, 9},    {340, 168, 595}, {-5, 144, -8}, {0, 144, 0},     {123, 0, 123},
    };
    for (const auto& c : toPixels)
        EXPECT_EQ(UnitsToPixels(c.units, c.dpi), c.pixels) << c.units << " at " << c.dpi;
    const struct {
        std::int64_t pixels;
        int dpi;
        std::int64_t units;
    } toUnits[] = {
        {750, 144, 500}, {751, 144, 501}, {749, 144, 499}, {1, 192, 1},
        {3, 192, 2},     {137, 120, 110}, {920, 96, 920},  {123, 0, 123},
    };
    for (const auto& c : toUnits)
        EXPECT_EQ(PixelsToUnits(c.pixels, c.dpi), c.units) << c.pixels << " at " << c.dpi;
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

TEST(WindowGeometry, InnerHeightCountsOneMenuBarWhileAttachedEachAxisItsResolution) {
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
    const PixelSize pixels = ToPixels({500, 340}, uneven);
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

TEST(StatusLayout, RestFieldShrinksToNothingButNeverBelowAndMayStandAnywhere) {
    const std::int64_t widths[] = {StatusFieldRest, 110};
    EXPECT_EQ(StatusPartEdges(widths, 100, 96, 22), (std::vector<int>{0, 110}));
    EXPECT_EQ(StatusPartEdges(widths, 0, 96, 22), (std::vector<int>{0, 110}));
    const std::int64_t middle[] = {50, StatusFieldRest, 30};
    EXPECT_EQ(StatusPartEdges(middle, 200, 96, 0), (std::vector<int>{50, 170, 200}));
    const std::int64_t fixedOnly[] = {10, 20};
    EXPECT_EQ(StatusPartEdges(fixedOnly, 200, 96, 0), (std::vector<int>{10, 30}));
}

}  // namespace
}  // namespace brevikon
