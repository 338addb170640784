#include "app/save_rtf.h"

#include "app/messages.h"
#include "app/title_status.h"
#include "document/path_names.h"
#include "files/file_access.h"

namespace brevikon {

namespace {
constexpr std::u16string_view RtfExtension = u"rtf";
constexpr std::u16string_view DotRtf = u".rtf";
}  // namespace

std::u16string DefaultSaveName(std::u16string_view documentPath) {
    std::u16string name = DirectoryPart(documentPath);
    name += FileNamePart(documentPath, true);
    name += DotRtf;
    return name;
}

std::u16string FinalSaveName(Platform& platform, std::u16string_view chosenPath) {
    std::u16string name(chosenPath);
    if (platform.LowerCase(ExtensionPart(chosenPath)) != RtfExtension) name += DotRtf;
    return name;
}

void SaveAsRtf(AppState& state, Platform& platform) {
    const RtfBuffer& buffer = state.rtfBuffer;
    if (!state.documentImage.held()) {
        ShowNotice(platform, NoFileOpenText);
        return;
    }
    // A buffer that lost an append holds a truncated RTF; it is never passed off as whole.
    if (!buffer.complete()) {
        ShowFailure(platform, OutOfMemoryText);
        return;
    }
    if (buffer.used <= 0) {
        ShowNotice(platform, NoFileOpenText);
        return;
    }

    const std::u16string chosen = platform.ShowSaveDialog(
        SaveDialogTitle, DefaultSaveName(state.currentPath), SaveDialogFilter);
    if (chosen.empty()) return;
    const std::u16string path = FinalSaveName(platform, chosen);

    // A document called BRIEF.RTF is offered BRIEF.rtf: one Yes to the dialog's question
    // would destroy the document the RTF is made from.
    if (state.files.SameFile(Utf16ToNative(path), Utf16ToNative(state.currentPath))) {
        ShowFileFailure(platform, OpenFileNotOverwrittenText, path);
        return;
    }

    if (!state.files.Write(Utf16ToNative(path), buffer.content()).ok) {
        ShowFileFailure(platform, FileNotWrittenText, path);
        return;
    }
    std::u16string confirmation(SavedStatusPrefix);
    confirmation += FileNamePart(path, false);
    SetStatusField(platform, StatusFieldFile, confirmation);
}

}  // namespace brevikon
