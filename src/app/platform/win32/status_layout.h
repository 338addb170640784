#pragma once
// The field layout of the status bar, as the right edges that SB_SETPARTS takes.
#include <cstdint>
#include <span>
#include <vector>

namespace brevikon {

// Room kept free right of the last field while the window is not maximised: a small gap and
// the sizing grip, so the last field's text is never drawn under the grip.
constexpr std::int64_t StatusGripGapUnits = 5;

// Pixels between the last field's right end and the bar's right edge.
int StatusRightReserve(bool maximised, int dpiX, int gripWidth);

// Right edges of the fields in pixels, left to right. Fixed widths are in units; the one
// field of width StatusFieldRest takes whatever the others leave (never less than nothing).
// The last field ends `rightReserve` pixels left of the bar's right edge.
std::vector<int> StatusPartEdges(std::span<const std::int64_t> fieldWidths, int barWidth, int dpiX,
                                 int rightReserve);

}  // namespace brevikon
