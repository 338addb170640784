#include "app/platform/win32/window_geometry.h"

namespace brevikon {

PixelSize ToPixels(Extent units, const DisplayScale& scale) {
    return {static_cast<int>(UnitsToPixels(units.width, scale.dpiX)),
            static_cast<int>(UnitsToPixels(units.height, scale.dpiY))};
}

PixelSize OuterSizeForInner(PixelSize inner, DWORD style, DWORD exStyle) {
    RECT rect{0, 0, inner.width, inner.height};
    ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

int CentredOrigin(int outer, int screen) {
    return outer > screen ? 0 : (screen - outer) / 2;
}

Extent InnerSizeInUnits(PixelSize client, bool hasMenuBar, int menuBarHeight,
                        const DisplayScale& scale) {
    const int height = client.height + (hasMenuBar ? menuBarHeight : 0);
    return {PixelsToUnits(client.width, scale.dpiX), PixelsToUnits(height, scale.dpiY)};
}

}  // namespace brevikon
