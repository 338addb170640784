#include "app/platform/win32/status_layout.h"

#include <algorithm>

#include "app/platform/platform.h"
#include "app/platform/win32/display_units.h"

namespace brevikon {

int StatusRightReserve(bool maximised, int dpiX, int gripWidth) {
    // A maximised window has no sizing grip; the last field then reaches the edge.
    if (maximised) return 0;
    return static_cast<int>(UnitsToPixels(StatusGripGapUnits, dpiX)) + gripWidth;
}

std::vector<int> StatusPartEdges(std::span<const std::int64_t> fieldWidths, int barWidth, int dpiX,
                                 int rightReserve) {
    std::vector<std::int64_t> widths;
    widths.reserve(fieldWidths.size());
    std::int64_t fixedTotal = 0;
    for (const std::int64_t width : fieldWidths) {
        const std::int64_t pixels = width == StatusFieldRest ? 0 : UnitsToPixels(width, dpiX);
        widths.push_back(std::max<std::int64_t>(pixels, 0));
        fixedTotal += widths.back();
    }
    const std::int64_t end = std::max<std::int64_t>(barWidth - rightReserve, 0);
    const auto rest = std::find(fieldWidths.begin(), fieldWidths.end(), StatusFieldRest);
    if (rest != fieldWidths.end()) {
        widths[static_cast<std::size_t>(rest - fieldWidths.begin())] =
            std::max<std::int64_t>(end - fixedTotal, 0);
    }

    std::vector<int> edges;
    edges.reserve(widths.size());
    std::int64_t edge = 0;
    for (const std::int64_t width : widths) {
        edge += width;
        edges.push_back(static_cast<int>(edge));
    }
    return edges;
}

}  // namespace brevikon
