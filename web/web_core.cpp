// The portable core as the browser page calls it: one document held at a time, any output
// form of it made on request, and the texts the page shows. JavaScript calls these plain
// functions, so the page's one state lives here, as a window procedure's lives in Win32.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/text.h"
#include "document/document_output.h"
#include "document/message_texts.h"
#include "document/status_texts.h"
#include "format/document_format.h"

namespace {

using namespace brevikon;

struct PageState {
    std::vector<std::uint8_t> incoming;  // filled by the page before Open
    std::vector<std::uint8_t> image;     // the document shown
    std::u16string fileName;
    DocumentOutput output;
    std::string text;  // the last text handed to the page, as UTF-8
};

PageState& State() {
    static PageState state;
    return state;
}

const char* Hand(std::u16string_view text) {
    State().text = Utf16ToUtf8(text);
    return State().text.c_str();
}

}  // namespace

extern "C" {

// Room for a file of size bytes, for the page to copy it into; null when memory ran out.
EMSCRIPTEN_KEEPALIVE std::uint8_t* web_incoming(int size) {
    try {
        State().incoming.assign(static_cast<std::size_t>(size), 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return State().incoming.data();
}

// The refusal of a file of this size, as the viewer words it; empty when it is accepted.
EMSCRIPTEN_KEEPALIVE const char* web_refusal(double size) {
    if (size <= 0) return Hand(FileEmptyText);
    if (size > static_cast<double>(MaxDocumentSize)) return Hand(FileTooLargeText);
    return Hand(u"");
}

// The message for a file the browser could not read, as the viewer words it.
EMSCRIPTEN_KEEPALIVE const char* web_not_opened(const char* nameUtf8) {
    return Hand(std::u16string(FileNotOpenedText) + u"\n" + Utf8ToUtf16(nameUtf8));
}

// Makes the incoming bytes the document shown, named nameUtf8.
EMSCRIPTEN_KEEPALIVE void web_open(const char* nameUtf8) {
    PageState& state = State();
    state.image.swap(state.incoming);
    state.incoming.clear();
    state.incoming.shrink_to_fit();
    state.fileName = Utf8ToUtf16(nameUtf8);
}

// Makes form (the index into the table of forms) of the document in the font mode (0
// monospace, 1 proportional); false when memory ran out or the build has no such form.
EMSCRIPTEN_KEEPALIVE int web_produce(int form, int proportional) {
    PageState& state = State();
    const auto forms = OutputForms();
    if (form < 0 || static_cast<std::size_t>(form) >= forms.size() || !forms[form].available)
        return 0;
    const DocumentInput input{state.image.data(), static_cast<std::int64_t>(state.image.size()),
                              proportional ? FontMode::Proportional : FontMode::Monospace,
                              state.fileName};
    try {
        return state.output.Produce(forms[form].format, input) ? 1 : 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

EMSCRIPTEN_KEEPALIVE const char* web_output_data() {
    return State().output.bytes().data();
}

EMSCRIPTEN_KEEPALIVE int web_output_size() {
    return static_cast<int>(State().output.bytes().size());
}

// The file line of the status bar for the last form made.
EMSCRIPTEN_KEEPALIVE const char* web_status_line() {
    return Hand(State().output.statusLine());
}

EMSCRIPTEN_KEEPALIVE const char* web_out_of_memory() {
    return Hand(OutOfMemoryText);
}

EMSCRIPTEN_KEEPALIVE const char* web_no_file_status() {
    return Hand(NoFileStatusText);
}

EMSCRIPTEN_KEEPALIVE const char* web_zoom_status(int percent) {
    return Hand(ZoomStatusText(percent));
}

// 0 default, 1 minimum, 2 maximum, 3 step.
EMSCRIPTEN_KEEPALIVE int web_zoom(int which) {
    const std::int64_t values[] = {ZoomDefault, ZoomMinimum, ZoomMaximum, ZoomStep};
    return which >= 0 && which < 4 ? static_cast<int>(values[which]) : 0;
}

// The table of forms: "name|extension|available" for each index, empty past the end.
EMSCRIPTEN_KEEPALIVE const char* web_form(int index) {
    const auto forms = OutputForms();
    if (index < 0 || static_cast<std::size_t>(index) >= forms.size()) return Hand(u"");
    const OutputForm& form = forms[index];
    State().text = std::string(form.name) + "|" + std::string(form.extension) + "|" +
                   (form.available ? "1" : "0");
    return State().text.c_str();
}

}  // extern "C"
