#include "app/about.h"

#include "base/text.h"
#include "base/version.h"

namespace brevikon {

std::u16string AboutText() {
    std::u16string text = u"Brevikon Reader ";
    text += AsciiText(BREVIKON_VERSION);
    text += u"\n";
    text += u"liest Dokumente der Brevikon PC Textverarbeitung 1.2\n";
    text += u"und stellt sie als RTF dar. Speichern als RTF ist moeglich.\n\n";
    text += u"Uebernommen werden: Absaetze, Wortumbrueche, Umlaute\n";
    text += u"sowie unterstrichen, fett, hoch-/tiefgestellt, breit und schmal.\n\n";
    text += u"Anzeige: RichEdit, erstellt mit ";
    text += AsciiText(BREVIKON_COMPILER);
    text += u"\n\n";
    text += u"Ein Programm des Projekts Brevikon Reader.\n\n";
    text += u"Mit Dank an die freien Werkzeuge GCC, MinGW-w64, CMake und GoogleTest.";
    return text;
}

void ShowAbout(Platform& platform) {
    platform.ShowMessage(AboutText(), AboutTitle, MessageIcon::Information);
}

}  // namespace brevikon
