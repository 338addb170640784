#pragma once
// Process start and end, the main window with its menu bar and status bar, and the viewer's
// place in it.
#include "app/app_state.h"
#include "app/platform/platform.h"

namespace brevikon {

constexpr std::int64_t MainWindowInnerWidth = 920;
constexpr std::int64_t MainWindowInnerHeight = 700;
constexpr std::int64_t MainWindowMinimumWidth = 500;
constexpr std::int64_t MainWindowMinimumHeight = 340;
constexpr std::int64_t ZoomFieldWidth = 110;

// Exit codes: 0 after a normal end, 1 when the window or the viewer could not be made.
constexpr int ExitNormal = 0;
constexpr int ExitStartFailed = 1;

// The whole run over a fresh AppState; returns the process exit code.
int ProcessStart(AppState& state, Platform& platform);
// Builds the window, opens the command-line document, runs the event loop, cleans up.
// False when start-up failed (after its message was shown).
bool RunMainWindow(AppState& state, Platform& platform);
// The menu bar, the shortcuts and the font check marks.
void BuildMenu(AppState& state, Platform& platform);
// Fits the viewer to the window's inner size; no minimum applies here.
void ResizeViewer(AppState& state, Platform& platform);

}  // namespace brevikon
