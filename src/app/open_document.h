#pragma once
// Loading a document file, from the Open dialog, a drop or the command line.
#include <string>

#include "app/app_state.h"
#include "app/platform/platform.h"

namespace brevikon {

constexpr std::u16string_view OpenDialogTitle = u"Brevikon-Datei oeffnen";
constexpr std::u16string_view OpenDialogFilter =
    u"Alle Dateien (*.*)|*.*|Textdateien (*.txt;*.doc)|*.txt;*.doc";

// Reads the whole file into a new DocumentImage and shows it in the DocumentView. An empty
// path or one that names no file is refused silently; every other refusal is reported and
// leaves the previous document as it was.
void OpenDocument(AppState& state, Platform& platform, std::u16string_view path);

// The Open command: the open dialog, starting at the current path, then OpenDocument.
void OpenWithDialog(AppState& state, Platform& platform);

}  // namespace brevikon
