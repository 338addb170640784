#include "app/document_views.h"

#include "app/messages.h"
#include "app/title_status.h"
#include "app/viewer.h"
#include "document/path_names.h"

namespace brevikon {

namespace {

// A producer whose append the heap refused leaves a truncated RTF behind; the user must
// not take it for the whole document. With no storage at all nothing new could be shown, and
// the previous content must not stand under the new title, so the viewer is emptied.
void ReportLostRtf(AppState& state, Platform& platform) {
    if (state.rtfBuffer.complete()) return;
    if (!state.rtfBuffer.storage) ClearViewer(state, platform);
    ShowFailure(platform, OutOfMemoryText);
}

}  // namespace

void ShowDocumentView(AppState& state, Platform& platform) {
    if (!state.documentImage.held()) {
        ClearViewer(state, platform);
        RefreshTitleAndStatus(state, platform);
        return;
    }
    state.analysisFlag = false;
    const std::u16string fileName = FileNamePart(state.currentPath, false);
    state.document.Produce(OutputFormat::Rtf, {state.documentImage.data(), state.fileLength,
                                               state.fontMode, fileName});
    state.statusSummary = state.document.summary();
    ShowRtfBuffer(state, platform);
    RefreshTitleAndStatus(state, platform);
    UpdateFontChecks(state, platform);
    ReportLostRtf(state, platform);
}

void ShowAnalysisView(AppState& state, Platform& platform) {
    if (!state.documentImage.held()) {
        ShowNotice(platform, NoFileOpenText);
        return;
    }
    const std::u16string fileName = FileNamePart(state.currentPath, false);
    state.document.Produce(OutputFormat::ReportRtf, {state.documentImage.data(), state.fileLength,
                                                     state.fontMode, fileName});
    state.structureReport = state.document.report();
    state.analysisFlag = true;
    ShowRtfBuffer(state, platform);
    RefreshTitleAndStatus(state, platform);
    ReportLostRtf(state, platform);
}

void SelectFontMode(AppState& state, Platform& platform, FontMode fontMode) {
    state.fontMode = fontMode;
    ShowDocumentView(state, platform);
}

}  // namespace brevikon
