#pragma once
// The one state record of the viewer. It exists for the whole run and is passed by reference
// to every procedure; there is no other state.
#include <cstdint>
#include <string>

#include "app/platform/platform.h"
#include "base/heap.h"
#include "document/document_output.h"
#include "document/status_texts.h"
#include "files/file_store.h"
#include "format/char_table.h"
#include "rtf/rtf_buffer.h"

namespace brevikon {

struct AppState {
    explicit AppState(Heap& source = ProcessHeap(), FileStore& store = SystemFiles())
        : document(source), heap(source), files(store) {}
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;

    std::int64_t fileLength = 0;
    std::int64_t zoomPercent = ZoomDefault;
    FontMode fontMode = FontMode::Monospace;
    // The DocumentImage: a document counts as loaded exactly while this is held.
    HeapBlock documentImage;
    LibraryHandle richTextLibrary = NoLibrary;
    ControlHandle viewerControl = NoControl;
    std::u16string structureReport;
    std::u16string statusSummary;
    // Writes the views as the converter writes its forms: the DocumentView is the RTF form,
    // the AnalysisView the report's RTF form.
    DocumentOutput document;
    // Capacity, used length and storage of the RTF text that the viewer shows and Save as
    // RTF writes: the document output's own buffer.
    RtfBuffer& rtfBuffer = document.rtf();
    CharTable& charTable = document.charTable();
    // True exactly while the AnalysisView is shown.
    bool analysisFlag = false;
    // The path exactly as OpenDocument received it; empty when no file is open.
    std::u16string currentPath;

    // Where the DocumentImage comes from; tests put a refusing heap here.
    Heap& heap;
    // Where documents are read from and RTF files written to; tests put faults here.
    FileStore& files;
};

}  // namespace brevikon
