#include "app/viewer.h"

#include <algorithm>

namespace brevikon {

ControlHandle CreateViewer(AppState& state, Platform& platform) {
    const LibraryHandle library = platform.LoadRichTextLibrary();
    if (library == NoLibrary) return NoControl;
    state.richTextLibrary = library;

    Extent size = platform.InnerSize();
    size.width = std::max(size.width, ViewerMinimumSide);
    size.height = std::max(size.height, ViewerMinimumSide);
    state.viewerControl = platform.CreateViewerControl(library, size);
    if (state.viewerControl != NoControl) {
        platform.SetViewerTextLimit(state.viewerControl, ViewerTextLimit);
        platform.SetViewerReadOnly(state.viewerControl, true);
    }
    return state.viewerControl;
}

void ClearViewer(AppState& state, Platform& platform) {
    ResetRtfBuffer(state.rtfBuffer);
    if (state.viewerControl == NoControl) return;
    // Read-only is lifted only for the moment of the replacement.
    platform.SetViewerReadOnly(state.viewerControl, false);
    platform.SetViewerText(state.viewerControl, u"");
    platform.SetViewerReadOnly(state.viewerControl, true);
}

void ShowRtfBuffer(AppState& state, Platform& platform) {
    RtfBuffer& buffer = state.rtfBuffer;
    if (state.viewerControl == NoControl || !buffer.storage || buffer.used <= 0) return;
    if (!EnsureRtfCapacity(buffer, 4)) return;
    // The control reads a zero-terminated string in place. The zero is no part of the RTF:
    // used stays, so saving never writes it.
    buffer.storage[buffer.used] = 0;

    platform.SetViewerReadOnly(state.viewerControl, false);
    const bool accepted =
        platform.SetViewerRtf(state.viewerControl, reinterpret_cast<const char*>(buffer.storage));
    platform.SetViewerReadOnly(state.viewerControl, true);

    if (!accepted) {
        platform.SetViewerText(state.viewerControl, ViewerRefusedText);
        return;
    }
    platform.ScrollViewerToTop(state.viewerControl);
    ApplyZoom(state, platform);
}

void ApplyZoom(AppState& state, Platform& platform) {
    if (state.viewerControl == NoControl) return;
    // 0 / 0 is the control's "no zoom"; 100 / 100 would not be the same.
    if (state.zoomPercent == ZoomDefault) {
        platform.SetViewerZoom(state.viewerControl, 0, 0);
    } else {
        platform.SetViewerZoom(state.viewerControl, state.zoomPercent, 100);
    }
}

}  // namespace brevikon
