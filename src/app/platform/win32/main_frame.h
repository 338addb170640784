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
    // The viewer, and whether the application last sized it to the whole inner size. Then
    // it follows every resize at once, also while the system's own sizing loop runs and the
    // application's event loop waits for it to end.
    HWND viewer = nullptr;
    bool viewerSpansInner = false;
    // The viewer's own window procedure, behind the one that takes the wheel with Ctrl.
    WNDPROC viewerProc = nullptr;
    // Wheel turns with Ctrl short of a whole notch, kept for the next turn.
    int wheelRemainder = 0;
    // Recorded by the window procedure, taken one by one by the event wait.
    std::deque<AppEvent> events;
};

// Registers the window class once and opens the window, centred and shown. False when the
// window could not be created.
bool OpenMainFrame(MainFrame& frame, std::u16string_view title, Extent inner);

// The current inner size in units (see Platform::InnerSize).
Extent MainFrameInnerSize(const MainFrame& frame);

// The viewer's rectangle in pixels for a place and size in units. It ends at the status
// bar's top edge, so that the bar and the viewer's own scroll bar stay whole and visible.
RECT ViewerRect(const MainFrame& frame, std::int64_t x, std::int64_t y, Extent size);

// Takes the wheel with Ctrl from the viewer before it sees it: the control would zoom by
// itself, in steps of its own and behind the zoom shown in the status bar.
void CatchViewerWheelZoom(MainFrame& frame, HWND viewer);

// Creates the status bar with these field widths (units) and lays it out.
void CreateMainStatusBar(MainFrame& frame, std::vector<std::int64_t> fieldWidths);

// Fits the status bar to the window and lays its fields out again.
void LayOutStatusBar(MainFrame& frame);

// Destroys the window with its children, its menu bar and the shortcut table.
void DestroyMainFrame(MainFrame& frame);

}  // namespace brevikon
