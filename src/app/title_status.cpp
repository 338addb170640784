#include "app/title_status.h"

#include "app/command_ids.h"
#include "app/messages.h"
#include "base/text.h"
#include "document/path_names.h"
#include "document/status_texts.h"

namespace brevikon {

std::u16string TitleText(const AppState& state) {
    // Whether a file is open is decided by the path alone, not by the image.
    if (state.currentPath.empty()) return std::u16string(ProgramTitle);
    std::u16string title = FileNamePart(state.currentPath, false);
    title += state.analysisFlag ? u" [Analyse] - " : u" - ";
    title += ProgramTitle;
    return title;
}

std::u16string FileStatusText(const AppState& state) {
    if (state.currentPath.empty()) return std::u16string(NoFileStatusText);
    const std::u16string name = FileNamePart(state.currentPath, false);
    return state.analysisFlag ? AnalysisStatusLine(name)
                              : DocumentStatusLine(name, state.fileLength, state.statusSummary);
}

void RefreshTitleAndStatus(AppState& state, Platform& platform) {
    SetStatusField(platform, StatusFieldFile, FileStatusText(state));
    platform.SetTitle(TitleText(state));
    SetStatusField(platform, StatusFieldZoom, ZoomStatusText(state.zoomPercent));
}

void UpdateFontChecks(AppState& state, Platform& platform) {
    platform.SetMenuCheck(CommandMonospaceFont, state.fontMode == FontMode::Monospace);
    platform.SetMenuCheck(CommandProportionalFont, state.fontMode == FontMode::Proportional);
}

void SetStatusField(Platform& platform, int field, std::u16string_view text) {
    platform.SetStatusText(field, text);
}

}  // namespace brevikon
