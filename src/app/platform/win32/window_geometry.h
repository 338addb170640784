#pragma once
// Where the main window goes and how large it is, from the inner sizes the application asks
// for. Sizes here are device pixels unless a name says units.
#include <windows.h>

#include <cstdint>

#include "app/platform/platform.h"
#include "app/platform/win32/display_units.h"

namespace brevikon {

// The frame of the main window: caption, system menu, both boxes, sizing border.
constexpr DWORD MainWindowStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD MainWindowExStyle = 0;

struct PixelSize {
    int width = 0;
    int height = 0;
};

PixelSize ToPixels(Extent units, const DisplayScale& scale);

// The outer size of a window with this style whose client area is `inner`, counted without a
// menu bar: a menu bar attached later takes its height out of the client area instead.
PixelSize OuterSizeForInner(PixelSize inner, DWORD style, DWORD exStyle);

// The position that centres `outer` on a screen of `screen` pixels along one axis; 0 when the
// window does not fit, so that its caption stays reachable.
int CentredOrigin(int outer, int screen);

// The inner size in units: the client width, and the client height plus one menu-bar height
// while a menu bar is attached.
Extent InnerSizeInUnits(PixelSize client, bool hasMenuBar, int menuBarHeight,
                        const DisplayScale& scale);

}  // namespace brevikon
