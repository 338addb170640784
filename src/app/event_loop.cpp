#include "app/event_loop.h"

#include "app/about.h"
#include "app/close_document.h"
#include "app/command_ids.h"
#include "app/command_line.h"
#include "app/document_views.h"
#include "app/main_window.h"
#include "app/open_document.h"
#include "app/save_rtf.h"
#include "app/title_status.h"
#include "app/viewer.h"

namespace brevikon {

LoopControl HandleEvent(AppState& state, Platform& platform, const AppEvent& event) {
    switch (event.kind) {
        case AppEventKind::Close:
            return LoopControl::Quit;
        case AppEventKind::Size:
            ResizeViewer(state, platform);
            break;
        case AppEventKind::Drop: {
            // Only the first name counts; the others are ignored.
            const std::u16string_view first = FirstDroppedName(event.text);
            if (!first.empty()) OpenDocument(state, platform, first);
            break;
        }
        case AppEventKind::Command:
            return RunCommand(state, platform, event.id);
        case AppEventKind::WheelZoom:
            // The menu's own steps, so that the status field and the viewer agree.
            for (int notch = 0; notch < event.id; ++notch)
                ZoomIn(state, platform);
            for (int notch = 0; notch > event.id; --notch)
                ZoomOut(state, platform);
            break;
    }
    return LoopControl::Continue;
}

LoopControl RunCommand(AppState& state, Platform& platform, int id) {
    switch (id) {
        case CommandOpen:
            OpenWithDialog(state, platform);
            break;
        case CommandSaveAsRtf:
            SaveAsRtf(state, platform);
            break;
        case CommandClose:
            CloseDocument(state, platform);
            break;
        case CommandAnalyseStructure:
            ShowAnalysisView(state, platform);
            break;
        case CommandQuit:
            // Exactly like a close request; nothing is asked.
            return LoopControl::Quit;
        case CommandZoomIn:
            ZoomIn(state, platform);
            break;
        case CommandZoomOut:
            ZoomOut(state, platform);
            break;
        case CommandZoomReset:
            ZoomReset(state, platform);
            break;
        case CommandMonospaceFont:
            SelectFontMode(state, platform, FontMode::Monospace);
            break;
        case CommandProportionalFont:
            SelectFontMode(state, platform, FontMode::Proportional);
            break;
        case CommandAbout:
            ShowAbout(platform);
            break;
        default:
            break;
    }
    return LoopControl::Continue;
}

void ZoomIn(AppState& state, Platform& platform) {
    if (state.zoomPercent >= ZoomMaximum) return;
    state.zoomPercent += ZoomStep;
    ApplyZoom(state, platform);
    RefreshTitleAndStatus(state, platform);
}

void ZoomOut(AppState& state, Platform& platform) {
    if (state.zoomPercent <= ZoomMinimum) return;
    state.zoomPercent -= ZoomStep;
    ApplyZoom(state, platform);
    RefreshTitleAndStatus(state, platform);
}

void ZoomReset(AppState& state, Platform& platform) {
    // Also at 100 already: the command always re-applies and refreshes.
    state.zoomPercent = ZoomDefault;
    ApplyZoom(state, platform);
    RefreshTitleAndStatus(state, platform);
}

void RunEventLoop(AppState& state, Platform& platform) {
    while (HandleEvent(state, platform, platform.WaitForEvent()) == LoopControl::Continue) {
    }
}

}  // namespace brevikon
