#pragma once
// The texts of the viewer's messages. The converter reports the same failures in the same
// words, so they stand here on their own.
#include <string_view>

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

}  // namespace brevikon
