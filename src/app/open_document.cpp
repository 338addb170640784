#include "app/open_document.h"

#include "app/document_views.h"
#include "app/messages.h"
#include "format/document_format.h"

namespace brevikon {

void OpenDocument(AppState& state, Platform& platform, std::u16string_view path) {
    if (path.empty()) return;
    // Only tells files from nothing and folders; the length used is that of the open file.
    if (platform.QueryFileSize(path) < 0) return;

    const FileHandle file = platform.OpenFileForReading(path);
    if (file == NoFile) {
        ShowFileFailure(platform, FileNotOpenedText, path);
        return;
    }
    // Every message about the file comes after it is closed, so that the user can act on
    // the file while the box is open.
    const std::int64_t length = platform.FileLength(file);
    if (length <= 0) {
        platform.CloseFile(file);
        ShowNotice(platform, FileEmptyText);
        return;
    }
    if (length > MaxDocumentSize) {
        platform.CloseFile(file);
        ShowFailure(platform, FileTooLargeText);
        return;
    }

    // The previous image goes first, so that at most one is held at any time. From here a
    // failure leaves no document, while path, texts and view keep the previous one's.
    if (!state.documentImage.Allocate(state.heap, static_cast<std::size_t>(length))) {
        platform.CloseFile(file);
        ShowFailure(platform, OutOfMemoryText);
        return;
    }
    const std::int64_t read = platform.ReadFileInto(file, state.documentImage.data(), length);
    platform.CloseFile(file);
    if (read != length) {
        // A partial image would be shown as if it were the whole document.
        state.documentImage.Release();
        ShowFileFailure(platform, FileNotOpenedText, path);
        return;
    }

    state.fileLength = length;
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
