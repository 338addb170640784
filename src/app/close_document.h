#pragma once
// The Close command: back to the no-document state, without a question.
#include "app/app_state.h"
#include "app/platform/platform.h"

namespace brevikon {

void CloseDocument(AppState& state, Platform& platform);

}  // namespace brevikon
