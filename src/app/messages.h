#pragma once
// The texts of the viewer's message boxes, and the two kinds of box under the window title.
#include <string>
#include <string_view>

#include "app/platform/platform.h"

namespace brevikon {

constexpr std::u16string_view ProgramTitle = u"Brevikon Reader";

constexpr std::u16string_view WindowNotCreatedText = u"Das Fenster konnte nicht erstellt werden.";
constexpr std::u16string_view RichEditNotLoadedText =
    u"Die RichEdit-Komponente konnte nicht geladen werden.";
constexpr std::u16string_view FileNotOpenedText = u"Die Datei konnte nicht geoeffnet werden:";
constexpr std::u16string_view FileEmptyText = u"Die Datei ist leer.";
constexpr std::u16string_view FileTooLargeText =
    u"Die Datei ist groesser als 32 MB und wird nicht geladen.";
constexpr std::u16string_view OutOfMemoryText = u"Zu wenig Speicher.";
constexpr std::u16string_view NoFileOpenText = u"Es ist keine Datei geoeffnet.";
constexpr std::u16string_view FileNotWrittenText = u"Die Datei konnte nicht geschrieben werden:";
constexpr std::u16string_view OpenFileNotOverwrittenText =
    u"Die geoeffnete Datei kann nicht ueberschrieben werden:";

// A notice under the window title, with the information icon.
inline void ShowNotice(Platform& platform, std::u16string_view text) {
    platform.ShowMessage(text, ProgramTitle, MessageIcon::Information);
}

// A failure under the window title, with the error icon.
inline void ShowFailure(Platform& platform, std::u16string_view text) {
    platform.ShowMessage(text, ProgramTitle, MessageIcon::Error);
}

// A failure about one file: the message, then the path on a line of its own.
inline void ShowFileFailure(Platform& platform, std::u16string_view text,
                            std::u16string_view path) {
    std::u16string message(text);
    message += u'\n';
    message += path;
    ShowFailure(platform, message);
}

}  // namespace brevikon
