#pragma once
// Turning the events of the main window into commands.
#include "app/app_state.h"
#include "app/platform/platform.h"

namespace brevikon {

enum class LoopControl {
    Continue,
    Quit,
};

// Handles one event to its end; Quit after a close request or the Quit command.
LoopControl HandleEvent(AppState& state, Platform& platform, const AppEvent& event);
// Runs the command with this id; an id outside the command range does nothing.
LoopControl RunCommand(AppState& state, Platform& platform, int id);

// The zoom commands: change zoomPercent within its bounds, zoom the viewer, refresh.
void ZoomIn(AppState& state, Platform& platform);
void ZoomOut(AppState& state, Platform& platform);
void ZoomReset(AppState& state, Platform& platform);

// Waits for events and handles them until the quit flag is set.
void RunEventLoop(AppState& state, Platform& platform);

}  // namespace brevikon
