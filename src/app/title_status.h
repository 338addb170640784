#pragma once
// The window title, the two status-bar fields and the font check marks, all computed from
// AppState and rewritten in full on every call.
#include <string>

#include "app/app_state.h"
#include "app/platform/platform.h"

namespace brevikon {

constexpr int StatusFieldFile = 0;
constexpr int StatusFieldZoom = 1;

// The texts, without writing them anywhere.
std::u16string TitleText(const AppState& state);
std::u16string FileStatusText(const AppState& state);

// Field 0, then the title, then field 1. A save confirmation in field 0 gives way.
void RefreshTitleAndStatus(AppState& state, Platform& platform);
// The check mark on Monospace font exactly when FontMode is 0, on Proportional when it is 1.
void UpdateFontChecks(AppState& state, Platform& platform);
void SetStatusField(Platform& platform, int field, std::u16string_view text);

}  // namespace brevikon
