#include "app/close_document.h"

#include "app/title_status.h"
#include "app/viewer.h"

namespace brevikon {

void CloseDocument(AppState& state, Platform& platform) {
    state.documentImage.Release();
    state.fileLength = 0;
    state.currentPath.clear();
    state.statusSummary.clear();
    state.structureReport.clear();
    state.analysisFlag = false;
    ClearViewer(state, platform);
    RefreshTitleAndStatus(state, platform);
}

}  // namespace brevikon
