#include "app/open_document.h"

#include "app/document_views.h"
#include "app/messages.h"
#include "files/file_access.h"
#include "format/document_format.h"

namespace brevikon {

void OpenDocument(AppState& state, Platform& platform, std::u16string_view path) {
    if (path.empty()) return;
    // The image is released only once the file has shown to be worth reading, so that a
    // refused file leaves the previous document, its path and its view as they were. The
    // file is closed before any message, so that the user can act on it while the box is open.
    const ReadResult read =
        state.files.Read(Utf16ToNative(path), MaxDocumentSize, state.heap, state.documentImage);
    switch (read.status) {
        case ReadStatus::Ok:
            break;
        case ReadStatus::Missing:
        case ReadStatus::Directory:
        case ReadStatus::NotRegular:
            // Nothing, a folder, a drive or a device: no document there, and nothing is shown.
            return;
        case ReadStatus::Empty:
            return ShowNotice(platform, FileEmptyText);
        case ReadStatus::TooLarge:
            return ShowFailure(platform, FileTooLargeText);
        case ReadStatus::OutOfMemory:
            return ShowFailure(platform, OutOfMemoryText);
        case ReadStatus::OpenFailed:
        case ReadStatus::ShortRead:  // a partial image would pass for the whole document
        case ReadStatus::Changed:
            return ShowFileFailure(platform, FileNotOpenedText, path);
    }

    state.fileLength = read.length;
    state.currentPath = path;
    state.structureReport.clear();
    ShowDocumentView(state, platform);
}

void OpenWithDialog(AppState& state, Platform& platform) {
    const std::u16string path =
        platform.ShowOpenDialog(OpenDialogTitle, state.currentPath, OpenDialogFilter);
    if (path.empty()) return;
    OpenDocument(state, platform, path);
}

}  // namespace brevikon
