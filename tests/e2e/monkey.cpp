// The random-command run: a few hundred steps, drawn by a seeded generator, against the
// running program, each followed by a check of the title, both status fields and the viewer
// against a small model of what the program must show by then. One driver process runs it
// all, since every start of a Windows process under Wine costs half a second.
//
//   monkey SEED STEPS EMPTY-FILE TOO-LARGE-FILE DOCUMENT...
//
// Drops draw from the documents, the empty and the too-large file, a missing file beside
// the empty one and the folder that holds it. Every dialog is cancelled and every message
// box confirmed, so no file is ever written. The last step quits with Ctrl+Q or the command.
#include <ole2.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "app/about.h"
#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/open_document.h"
#include "app/save_rtf.h"
#include "app/title_status.h"
#include "document/message_texts.h"
#include "driver.h"

namespace brevikon::e2e {

namespace {

// The program's texts are UTF-16, as wchar_t is on Windows.
std::wstring Wide(std::u16string_view text) {
    return {text.begin(), text.end()};
}

const std::wstring Title = Wide(ProgramTitle);

constexpr int NoCommand = -1;
// Win32 ids 0xFF, 0x10B, 0x10C, 0x163 and 0: none of them is a command.
constexpr int OutOfRangeIds[] = {-1, 11, 12, 99, -256};

struct Chord {
    const wchar_t* keys;
    int id;
};
// The shortcuts but Ctrl+Q, and three near misses that are none.
constexpr Chord Chords[] = {
    {L"ctrl+o", CommandOpen},      {L"ctrl+s", CommandSaveAsRtf},
    {L"ctrl+w", CommandClose},     {L"ctrl+a", CommandAnalyseStructure},
    {L"ctrl+add", CommandZoomIn},  {L"ctrl+subtract", CommandZoomOut},
    {L"ctrl+0", CommandZoomReset}, {L"ctrl+oemplus", NoCommand},
    {L"ctrl+oemminus", NoCommand}, {L"ctrl+numpad0", NoCommand},
};

enum class FileKind { Document, Empty, TooLarge, Missing, Folder };

struct DropFile {
    std::wstring path;
    FileKind kind;
    std::wstring name;
    long long length;
};

// What the program must show after a step.
struct Model {
    std::wstring name;  // of the open file; empty when none is open
    long long length = 0;
    bool analysis = false;
    std::int64_t zoom = ZoomDefault;
};

// What a step brings up besides the main window, and how it must read: a message box's
// text, or only its title when the text is left empty (the About box, whose lines the app
// tests check).
struct Reply {
    enum Kind { Nothing, Box, Dialog } kind = Nothing;
    std::wstring title;
    std::wstring text;
};

struct Action {
    enum Kind { Command, Keys, Drop } kind = Command;
    int id = NoCommand;  // the command the action raises
    std::wstring keys;
    int repeat = 1;
    std::vector<const DropFile*> files;
};

std::wstring AfterLastBackslash(const std::wstring& path) {
    return path.substr(path.find_last_of(L'\\') + 1);
}

std::vector<DropFile> CollectDropFiles(const std::vector<std::wstring>& words) {
    std::vector<DropFile> files;
    for (std::size_t i = 4; i < words.size(); ++i) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        ::GetFileAttributesExW(words[i].c_str(), GetFileExInfoStandard, &data);
        const long long length =
            static_cast<long long>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
        files.push_back({words[i], FileKind::Document, AfterLastBackslash(words[i]), length});
    }
    const std::wstring& empty = words[2];
    const std::wstring folder = empty.substr(0, empty.find_last_of(L'\\'));
    files.push_back({empty, FileKind::Empty, {}, 0});
    files.push_back({words[3], FileKind::TooLarge, {}, 0});
    files.push_back({folder + L"\\FEHLT.TXT", FileKind::Missing, {}, 0});
    files.push_back({folder, FileKind::Folder, {}, 0});
    return files;
}

Action NextAction(std::mt19937& random, const std::vector<DropFile>& files) {
    Action action;
    const unsigned draw = random() % 20;
    if (draw < 6) {
        action.id = static_cast<int>(random() % (LastCommandId + 1));
        if (action.id == CommandQuit)
            action.id = OutOfRangeIds[random() % std::size(OutOfRangeIds)];
    } else if (draw < 10) {
        const Chord& chord = Chords[random() % std::size(Chords)];
        action.kind = Action::Keys;
        action.keys = chord.keys;
        action.id = chord.id;
    } else if (draw < 11) {
        // Long enough runs to reach both ends of the zoom.
        action.id = random() % 2 ? CommandZoomIn : CommandZoomOut;
        action.repeat = 5 + static_cast<int>(random() % 31);
        if (random() % 2) {
            action.kind = Action::Keys;
            action.keys = action.id == CommandZoomIn ? L"ctrl+add" : L"ctrl+subtract";
        }
    } else {
        action.kind = Action::Drop;
        const unsigned count = 1 + random() % 3;
        for (unsigned i = 0; i < count; ++i)
            action.files.push_back(&files[random() % files.size()]);
    }
    return action;
}

std::wstring Describe(const Action& action) {
    std::wstring text;
    if (action.kind == Action::Drop) {
        text = L"drop";
        for (const DropFile* file : action.files)
            text += L" " + AfterLastBackslash(file->path);
        return text;
    }
    text = action.kind == Action::Keys ? action.keys : L"command " + std::to_wstring(action.id);
    if (action.repeat > 1) text += L" x" + std::to_wstring(action.repeat);
    return text;
}

Reply ApplyCommand(Model& model, int id) {
    const bool open = !model.name.empty();
    switch (id) {
        case CommandOpen:
            return {Reply::Dialog, Wide(OpenDialogTitle), {}};
        case CommandSaveAsRtf:
            if (open) return {Reply::Dialog, Wide(SaveDialogTitle), {}};
            return {Reply::Box, Title, Wide(NoFileOpenText)};
        case CommandClose:
            model = Model{{}, 0, false, model.zoom};
            return {};
        case CommandAnalyseStructure:
            if (!open) return {Reply::Box, Title, Wide(NoFileOpenText)};
            model.analysis = true;
            return {};
        case CommandZoomIn:
            model.zoom = std::min(model.zoom + ZoomStep, ZoomMaximum);
            return {};
        case CommandZoomOut:
            model.zoom = std::max(model.zoom - ZoomStep, ZoomMinimum);
            return {};
        case CommandZoomReset:
            model.zoom = ZoomDefault;
            return {};
        case CommandMonospaceFont:
        case CommandProportionalFont:
            // Either font shows the document view; with no file nothing shows.
            model.analysis = false;
            return {};
        case CommandAbout:
            return {Reply::Box, Wide(AboutTitle), {}};
        default:
            return {};
    }
}

Reply Apply(Model& model, const Action& action) {
    if (action.kind != Action::Drop) {
        Reply reply;
        for (int i = 0; i < action.repeat; ++i)
            reply = ApplyCommand(model, action.id);
        return reply;
    }
    // Only the first dropped name counts.
    const DropFile& first = *action.files.front();
    switch (first.kind) {
        case FileKind::Document:
            model = Model{first.name, first.length, false, model.zoom};
            return {};
        case FileKind::Empty:
            return {Reply::Box, Title, Wide(FileEmptyText)};
        case FileKind::TooLarge:
            return {Reply::Box, Title, Wide(FileTooLargeText)};
        default:
            return {};
    }
}

std::wstring Perform(HWND main, const Action& action) {
    if (action.kind == Action::Drop) {
        std::vector<std::wstring> paths;
        for (const DropFile* file : action.files)
            paths.push_back(file->path);
        DWORD effect = DROPEFFECT_NONE;
        const HRESULT result = DropFiles(main, paths, effect);
        if (result != DRAGDROP_S_DROP || effect != DROPEFFECT_COPY) {
            return L"the drop gave " + std::to_wstring(result) + L", effect " +
                   std::to_wstring(effect);
        }
        return {};
    }
    if (action.kind == Action::Keys) BringToFront(main);
    for (int i = 0; i < action.repeat; ++i) {
        if (action.kind == Action::Command) {
            PostCommand(main, action.id);
        } else if (!SendChord(action.keys)) {
            return L"the keys could not be sent";
        }
    }
    return {};
}

// In quotes, on one line: a failure is reported in one line.
std::wstring Quoted(const std::wstring& text) {
    std::wstring quoted = L"\"";
    for (const wchar_t c : text)
        quoted += c == L'\n' ? std::wstring(L"\\n") : std::wstring(1, c);
    return quoted + L"\"";
}

std::wstring AnswerReply(const Reply& reply) {
    if (reply.kind == Reply::Nothing) return {};
    const bool box = reply.kind == Reply::Box;
    std::wstring read;
    if (!PressInDialog(box ? L"" : reply.title, box ? IDOK : IDCANCEL, read))
        return L"no dialog, or it stays: expected " + Quoted(reply.title);
    const std::wstring expected = reply.title + L"\n" + reply.text;
    if (box && (reply.text.empty() ? read.rfind(expected, 0) != 0 : read != expected))
        return L"message box " + Quoted(read) + L", expected " + Quoted(expected);
    return {};
}

// Empty when the program shows what the model says; else the first thing that differs.
std::wstring CompareWithModel(HWND main, const Model& model) {
    std::wstring line, zoom;
    StatusText(main, StatusFieldFile, line);
    StatusText(main, StatusFieldZoom, zoom);
    // Field 0 of the document view goes on with the converter's summary, which always
    // starts so.
    const bool summary = !model.name.empty() && !model.analysis;
    const std::wstring expected[] = {
        model.name.empty() ? Title
                           : model.name + (model.analysis ? L" [Analyse] - " : L" - ") + Title,
        model.name.empty() ? Wide(NoFileStatusText)
        : model.analysis
            ? model.name + L"   -   Strukturanalyse"
            : model.name + L"   (" + std::to_wstring(model.length) + L" Bytes)   Text ab ",
        L"Zoom " + std::to_wstring(model.zoom) + L" %",
        model.name.empty() ? L"empty" : L"not empty"};
    const std::wstring shown[] = {WindowText(main),
                                  summary ? line.substr(0, expected[1].size()) : line, zoom,
                                  WindowText(ViewerOf(main)).empty() ? L"empty" : L"not empty"};
    const wchar_t* what[] = {L"title", L"field 0", L"field 1", L"viewer"};
    for (int i = 0; i < 4; ++i) {
        if (shown[i] != expected[i]) {
            return std::wstring(what[i]) + L" shows " + Quoted(i == 1 ? line : shown[i]) +
                   L", expected " + Quoted(expected[i]) + (i == 1 && summary ? L"..." : L"");
        }
    }
    return {};
}

// One step after its action: the reply answered, everything handled, nothing else shown,
// and the main window as the model says. Empty when it held.
std::wstring CheckStep(HWND main, const Reply& reply, const Model& model) {
    std::wstring trouble = AnswerReply(reply);
    if (!trouble.empty()) return trouble;
    if (!WaitUntilHandled(main, DefaultWaitMs)) {
        return ::IsWindow(main) ? L"the program does not answer" : L"the program has ended";
    }
    if (const HWND stray = FindDialog(ProcessOf(main))) {
        return L"unexpected window " + Quoted(WindowText(stray));
    }
    WaitFor(2000, [&] { return (trouble = CompareWithModel(main, model)).empty(); });
    return trouble;
}

}  // namespace

int RunMonkey(HWND main, const Call& call) {
    const unsigned long seed = std::wcstoul(call.words[0].c_str(), nullptr, 10);
    const int steps = call.Number(1);
    const std::vector<DropFile> files = CollectDropFiles(call.words);
    const std::wstring ofSeed = L" of seed " + std::to_wstring(seed);
    Print(L"monkey: seed " + std::to_wstring(seed) + L", " + std::to_wstring(steps) + L" steps");

    std::mt19937 random(seed);
    Model model;
    const ULONGLONG started = ::GetTickCount64();
    int boxes = 0, dialogs = 0, zoomEnds = 0;
    for (int step = 1; step <= steps; ++step) {
        const Action action = NextAction(random, files);
        Print(L"step " + std::to_wstring(step) + L": " + Describe(action));
        const Reply reply = Apply(model, action);
        std::wstring trouble = Perform(main, action);
        if (trouble.empty()) trouble = CheckStep(main, reply, model);
        if (!trouble.empty()) {
            return Fail(L"step " + std::to_wstring(step) + ofSeed + L" (" + Describe(action) +
                        L"): " + trouble);
        }
        boxes += reply.kind == Reply::Box;
        dialogs += reply.kind == Reply::Dialog;
        zoomEnds += model.zoom == ZoomMinimum || model.zoom == ZoomMaximum;
    }

    // The end, as the user ends it, without any question.
    const std::wstring how = random() % 2 != 0 ? L"ctrl+q" : L"command";
    Print(L"end: " + how);
    DWORD code = STILL_ACTIVE;
    if (!EndProgram(main, how, DefaultWaitMs, code) || code != 0) {
        return Fail(L"after the last step" + ofSeed + L": " +
                    (code == STILL_ACTIVE ? L"the program did not end"
                                          : L"exit code " + std::to_wstring(code)));
    }
    Print(L"monkey: " + std::to_wstring(steps) + L" steps held in " +
          std::to_wstring((::GetTickCount64() - started) / 1000) + L" s (" +
          std::to_wstring(boxes) + L" message boxes, " + std::to_wstring(dialogs) + L" dialogs, " +
          std::to_wstring(zoomEnds) + L" steps at a zoom limit); exit=0");
    return 0;
}

}  // namespace brevikon::e2e
