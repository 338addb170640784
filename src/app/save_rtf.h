#pragma once
// Save as RTF: writes the RTF of the view that is shown, byte for byte, to a chosen file.
#include <string>

#include "app/app_state.h"
#include "app/platform/platform.h"

namespace brevikon {

constexpr std::u16string_view SaveDialogTitle = u"Als RTF speichern";
constexpr std::u16string_view SaveDialogFilter =
    u"Rich Text Format (*.rtf)|*.rtf|Alle Dateien (*.*)|*.*";
constexpr std::u16string_view SavedStatusPrefix = u"Gespeichert: ";

// The name the dialog proposes: directory and name of the document, then ".rtf".
std::u16string DefaultSaveName(std::u16string_view documentPath);
// The chosen path, with ".rtf" appended unless its extension already is rtf in any case.
std::u16string FinalSaveName(Platform& platform, std::u16string_view chosenPath);

void SaveAsRtf(AppState& state, Platform& platform);

}  // namespace brevikon
