#pragma once
// The two views of a loaded document, and the font commands that return to the first.
#include <cstdint>

#include "app/app_state.h"
#include "app/platform/platform.h"

namespace brevikon {

// The DocumentView: converts the document afresh with the current FontMode and shows it.
// With no document loaded it clears the viewer.
void ShowDocumentView(AppState& state, Platform& platform);

// The Analyse structure command: builds and renders the StructureReport and shows it.
void ShowAnalysisView(AppState& state, Platform& platform);

// The Monospace font and Proportional font commands.
void SelectFontMode(AppState& state, Platform& platform, FontMode fontMode);

}  // namespace brevikon
