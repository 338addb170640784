#include "app/main_window.h"

#include "app/command_line.h"
#include "app/event_loop.h"
#include "app/menu_table.h"
#include "app/messages.h"
#include "app/open_document.h"
#include "app/title_status.h"
#include "app/viewer.h"
#include "format/char_table.h"

namespace brevikon {

namespace {

// Releases what the run holds. The library goes last: only after the control made from it
// is destroyed with the window.
void CleanUp(AppState& state, Platform& platform) {
    state.documentImage.Release();
    ReleaseRtfBuffer(state.rtfBuffer);
    platform.DestroyMainWindow();
    state.viewerControl = NoControl;
    if (state.richTextLibrary != NoLibrary) {
        platform.ReleaseRichTextLibrary(state.richTextLibrary);
        state.richTextLibrary = NoLibrary;
    }
}

}  // namespace

int ProcessStart(AppState& state, Platform& platform) {
    platform.Initialize();
    state.analysisFlag = false;
    state.zoomPercent = ZoomDefault;
    state.fontMode = FontMode::Monospace;
    state.charTable.fill(0);
    const bool started = RunMainWindow(state, platform);
    platform.Shutdown();
    return started ? ExitNormal : ExitStartFailed;
}

bool RunMainWindow(AppState& state, Platform& platform) {
    BuildCharTable(state.charTable);
    if (!platform.OpenMainWindow(ProgramTitle, {MainWindowInnerWidth, MainWindowInnerHeight})) {
        ShowFailure(platform, WindowNotCreatedText);
        return false;
    }
    platform.SetMinimumInnerSize({MainWindowMinimumWidth, MainWindowMinimumHeight});
    BuildMenu(state, platform);
    const std::int64_t fieldWidths[] = {StatusFieldRest, ZoomFieldWidth};
    platform.CreateStatusBar(fieldWidths);

    if (CreateViewer(state, platform) == NoControl) {
        // Shown over the window, which is open with its menu and status bar.
        ShowFailure(platform, RichEditNotLoadedText);
        CleanUp(state, platform);
        return false;
    }
    platform.RegisterFileDrop();
    ClearViewer(state, platform);
    RefreshTitleAndStatus(state, platform);

    const std::vector<std::u16string> arguments = CommandLineArguments(platform.CommandLine());
    if (!arguments.empty()) OpenDocument(state, platform, arguments.front());

    RunEventLoop(state, platform);
    CleanUp(state, platform);
    return true;
}

void BuildMenu(AppState& state, Platform& platform) {
    platform.SetMenuBar(MainMenus());
    platform.SetShortcuts(MainShortcuts());
    UpdateFontChecks(state, platform);
}

void ResizeViewer(AppState& state, Platform& platform) {
    if (state.viewerControl == NoControl) return;
    platform.MoveViewer(state.viewerControl, 0, 0, platform.InnerSize());
}

}  // namespace brevikon
