#pragma once
// The main window: its handles, the events its window procedure has recorded for the
// application, and the sizes it keeps to.
#include <windows.h>

#include <cstdint>
#include <deque>
#include <string_view>
#include <vector>

#include "app/platform/platform.h"
#include "app/platform/win32/display_units.h"
#include "app/platform/win32/window_geometry.h"

namespace brevikon {

struct MainFrame {
    HWND window = nullptr;
    HWND statusBar = nullptr;
    HMENU menuBar = nullptr;
    HACCEL shortcuts = nullptr;
    DisplayScale scale;
    // Field widths in units as the application gave them; laid out again on every resize.
    std::vector<std::int64_t> statusFieldWidths;
    // The smallest outer size the user may drag the window to; 0 x 0 while none is set.
    PixelSize minimumOuter;
    // Recorded by the window procedure, taken one by one by the event wait.
    std::deque<AppEvent> events;
};

// Registers the window class once and opens the window, centred and shown. False when the
// window could not be created.
bool OpenMainFrame(MainFrame& frame, std::u16string_view title, Extent inner);

// The current inner size in units (see Platform::InnerSize).
Extent MainFrameInnerSize(const MainFrame& frame);

// The client rectangle's part above the status bar, in pixels; the whole client area while
// there is no status bar.
int ClientHeightAboveStatusBar(const MainFrame& frame);

// Creates the status bar with these field widths (units) and lays it out.
void CreateMainStatusBar(MainFrame& frame, std::vector<std::int64_t> fieldWidths);

// Fits the status bar to the window and lays its fields out again.
void LayOutStatusBar(MainFrame& frame);

// Destroys the window with its children, its menu bar and the shortcut table.
void DestroyMainFrame(MainFrame& frame);

}  // namespace brevikon
