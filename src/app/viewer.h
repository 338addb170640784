#pragma once
// The read-only rich-text control that shows the RtfBuffer. The program changes it in only
// these four ways; none of them touches the title or the status bar.
#include "app/app_state.h"
#include "app/platform/platform.h"

namespace brevikon {

// The control accepts this many characters, the most it can hold.
constexpr std::int64_t ViewerTextLimit = 0x7FFFFFFF;
// Neither side of the control is made smaller than this at creation.
constexpr std::int64_t ViewerMinimumSide = 50;
constexpr std::u16string_view ViewerRefusedText = u"Der Inhalt konnte nicht dargestellt werden.";

// Loads the rich-text library and creates the control; NoControl when either fails.
ControlHandle CreateViewer(AppState& state, Platform& platform);
// Empties the RtfBuffer (giving it storage) and the control. Zoom and scroll stay.
void ClearViewer(AppState& state, Platform& platform);
// Hands the RtfBuffer to the control as RTF, scrolls to the top and re-applies the zoom.
void ShowRtfBuffer(AppState& state, Platform& platform);
// Sets the control's zoom from zoomPercent.
void ApplyZoom(AppState& state, Platform& platform);

}  // namespace brevikon
