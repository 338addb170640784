#pragma once
// The command ids of the menu items and shortcuts, on which the event loop dispatches.

namespace brevikon {

enum CommandId : int {
    CommandOpen = 0,
    CommandSaveAsRtf = 1,
    CommandClose = 2,
    CommandAnalyseStructure = 3,
    CommandQuit = 4,
    CommandZoomIn = 5,
    CommandZoomOut = 6,
    CommandZoomReset = 7,
    CommandMonospaceFont = 8,
    CommandProportionalFont = 9,
    CommandAbout = 10,
};

constexpr int FirstCommandId = CommandOpen;
constexpr int LastCommandId = CommandAbout;

}  // namespace brevikon
