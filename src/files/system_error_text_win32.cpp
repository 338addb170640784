// The German texts of Windows error codes, on their own so that the portable texts can take
// this function over as it is.
#include <windows.h>

#include "base/text.h"
#include "files/file_access.h"

namespace brevikon {

std::u16string SystemErrorText(int systemError) {
    switch (systemError) {
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return u"Zugriff verweigert";
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return u"Kein Platz mehr auf dem Datentraeger";
        case ERROR_WRITE_PROTECT:
            return u"Schreibgeschuetzter Datentraeger";
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return u"Ordner oder Datei nicht gefunden";
        case ERROR_DIRECTORY:
            return u"Das ist ein Ordner";
        case ERROR_FILENAME_EXCED_RANGE:
            return u"Name zu lang";
        case ERROR_TOO_MANY_OPEN_FILES:
            return u"Zu viele offene Dateien";
        case ERROR_BROKEN_PIPE:
        case ERROR_NO_DATA:
            return u"Der Leser am anderen Ende ist fort";
        case ERROR_CANT_ACCESS_FILE:
        case ERROR_CANT_RESOLVE_FILENAME:
            return u"Verknuepfung kann nicht aufgeloest werden";
        default:
            return u"Systemfehler " + DecimalText(systemError);
    }
}

}  // namespace brevikon
