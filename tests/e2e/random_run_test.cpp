// The random run: a few hundred steps, drawn by a seeded generator (BREVIKON_MONKEY_SEED,
// BREVIKON_MONKEY_STEPS), against the program started without a document, each followed by a
// check of the title, both status fields and the viewer against a small model of what the
// program must show by then. Every step is written to monkey-steps.txt beside the test
// program before it is taken, so that even a run ended from outside names its last step.
//
// Drops draw from the bundled samples, the empty and the too-large file, a missing file and
// the folder. Every dialog is cancelled and every message box confirmed, so no file is ever
// written. The last step quits with Ctrl+Q or the command.
#include <optional>
#include <random>
#include <tuple>

#include "reader_fixture.h"

namespace brevikon::e2e {
namespace {

using RandomRun = ReaderTest;

constexpr int NoCommand = -1;
// Win32 ids 0xFF, 0x10B, 0x10C, 0x163 and 0: none of them is a command.
constexpr int OutOfRangeIds[] = {-1, 11, 12, 99, -256};
// Each step's waits are bounded; this bounds their sum, well inside the test's own time.
constexpr ULONGLONG RunLimitMs = 420000;

// The shortcuts but Ctrl+Q, and three near misses that are none.
constexpr std::pair<const wchar_t*, int> Chords[] = {
    {L"ctrl+o", CommandOpen},      {L"ctrl+s", CommandSaveAsRtf},
    {L"ctrl+w", CommandClose},     {L"ctrl+a", CommandAnalyseStructure},
    {L"ctrl+add", CommandZoomIn},  {L"ctrl+subtract", CommandZoomOut},
    {L"ctrl+0", CommandZoomReset}, {L"ctrl+oemplus", NoCommand},
    {L"ctrl+oemminus", NoCommand}, {L"ctrl+numpad0", NoCommand},
};

// A file to drop, and what opening it must bring: a document's length and the summary its
// status line ends with, as the core makes them, or the message that refuses it.
struct DropFile {
    std::wstring path;
    std::int64_t length = 0;  // a document's; 0 for the others
    std::u16string summary;
    std::u16string_view refusal;
};

// What the program must show after a step.
struct Model {
    const DropFile* open = nullptr;
    bool analysis = false;
    std::int64_t zoom = ZoomDefault;
};

// What a step brings up besides the main window: a message box (`box`) or a file dialog of
// this title, whose text must read so; only by its title when the text is left empty (the
// About box, whose lines the app tests check).
struct Reply {
    std::wstring title;
    std::wstring text;
    bool box = true;
};

struct Action {
    const wchar_t* keys = nullptr;  // else the command is posted
    int id = NoCommand;             // the command the action raises
    int repeat = 1;
    std::vector<const DropFile*> files;  // a drop when not empty
};

std::vector<DropFile> CollectDropFiles(const std::vector<std::wstring>& documents,
                                       const std::filesystem::path& folder) {
    std::vector<DropFile> files;
    for (const std::wstring& path : documents) {
        const std::string bytes = Bytes(path);
        DocumentInput input;
        input.image = reinterpret_cast<const std::uint8_t*>(bytes.data());
        input.length = static_cast<std::int64_t>(bytes.size());
        DocumentOutput output;
        output.Produce(OutputFormat::Rtf, input);
        files.push_back({path, input.length, output.summary(), {}});
    }
    files.push_back({(folder / L"LEER.TXT").wstring(), 0, {}, FileEmptyText});
    files.push_back({(folder / L"GROSS.TXT").wstring(), 0, {}, FileTooLargeText});
    files.push_back({(folder / L"FEHLT.TXT").wstring(), 0, {}, {}});
    files.push_back({folder.wstring(), 0, {}, {}});
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
        std::tie(action.keys, action.id) = Chords[random() % std::size(Chords)];
    } else if (draw < 11) {
        // Long enough runs to reach both ends of the zoom.
        action.id = random() % 2 ? CommandZoomIn : CommandZoomOut;
        action.repeat = 5 + static_cast<int>(random() % 31);
        if (random() % 2) action.keys = action.id == CommandZoomIn ? L"ctrl+add" : L"ctrl+subtract";
    } else {
        for (unsigned count = 1 + random() % 3; count > 0; --count)
            action.files.push_back(&files[random() % files.size()]);
    }
    return action;
}

std::wstring Describe(const Action& action) {
    std::wstring text = action.files.empty() ? L"" : L"drop";
    for (const DropFile* file : action.files)
        text += L" " + std::filesystem::path(file->path).filename().wstring();
    if (action.files.empty())
        text = action.keys != nullptr ? action.keys : L"command " + std::to_wstring(action.id);
    if (action.repeat > 1) text += L" x" + std::to_wstring(action.repeat);
    return text;
}

std::optional<Reply> ApplyCommand(Model& model, int id) {
    const Reply noFile{Wide(ProgramTitle), Wide(NoFileOpenText)};
    switch (id) {
        case CommandOpen:
            return Reply{Wide(OpenDialogTitle), {}, false};
        case CommandSaveAsRtf:
            return model.open != nullptr ? Reply{Wide(SaveDialogTitle), {}, false} : noFile;
        case CommandClose:
            model = Model{nullptr, false, model.zoom};
            break;
        case CommandAnalyseStructure:
            if (model.open == nullptr) return noFile;
            model.analysis = true;
            break;
        case CommandZoomIn:
        case CommandZoomOut:
            model.zoom = std::clamp(model.zoom + (id == CommandZoomIn ? ZoomStep : -ZoomStep),
                                    ZoomMinimum, ZoomMaximum);
            break;
        case CommandZoomReset:
            model.zoom = ZoomDefault;
            break;
        case CommandMonospaceFont:
        case CommandProportionalFont:
            // Either font shows the document view; with no file nothing shows.
            model.analysis = false;
            break;
        case CommandAbout:
            return Reply{Wide(AboutTitle), {}};
    }
    return std::nullopt;
}

std::optional<Reply> Apply(Model& model, const Action& action) {
    std::optional<Reply> reply;
    for (int i = 0; i < action.repeat && action.files.empty(); ++i)
        reply = ApplyCommand(model, action.id);
    // Of a drop only the first name counts.
    const DropFile* first = action.files.empty() ? nullptr : action.files.front();
    if (first != nullptr && first->length > 0) model = Model{first, false, model.zoom};
    if (first != nullptr && !first->refusal.empty())
        reply = Reply{Wide(ProgramTitle), Wide(first->refusal)};
    return reply;
}

std::wstring Perform(HWND main, const Action& action) {
    std::vector<std::wstring> paths;
    for (const DropFile* file : action.files)
        paths.push_back(file->path);
    if (!paths.empty())
        return DropFiles(main, paths) == DROPEFFECT_COPY ? L""
                                                         : L"the drop was not taken as a copy";
    if (action.keys != nullptr) BringToFront(main);
    for (int i = 0; i < action.repeat; ++i) {
        if (action.keys == nullptr) PostCommand(main, action.id);
        if (action.keys != nullptr && !SendChord(action.keys)) return L"the keys were not sent";
    }
    return {};
}

// Empty when the program shows what the model says: its title, both status fields and
// whether the viewer holds text; else what it shows.
std::wstring CompareWithModel(HWND main, const Model& model) {
    AppState state;
    if (model.open != nullptr) {
        state.currentPath.assign(model.open->path.begin(), model.open->path.end());
        state.fileLength = model.open->length;
        state.statusSummary = model.open->summary;
    }
    state.analysisFlag = model.analysis;
    const std::wstring expected = Wide(TitleText(state)) + L"\n" + Wide(FileStatusText(state)) +
                                  L"\n" + Wide(ZoomStatusText(model.zoom)) +
                                  (model.open == nullptr ? L"\nno text" : L"\na text");
    const std::wstring shown = WindowText(main) + L"\n" + StatusText(main, StatusFieldFile) +
                               L"\n" + StatusText(main, StatusFieldZoom) +
                               (WindowText(ViewerOf(main)).empty() ? L"\nno text" : L"\na text");
    return shown == expected ? L"" : L"shows \"" + shown + L"\", expected \"" + expected + L"\"";
}

// One step after its action: the reply answered, everything handled, nothing else shown,
// and the main window as the model says. Empty when it held.
std::wstring CheckStep(HWND main, DWORD process, const std::optional<Reply>& reply,
                       const Model& model) {
    if (reply) {
        const HWND dialog =
            FindWindowOf(process, true, reply->box ? L"" : reply->title, false, StartWaitMs);
        if (dialog == nullptr) return L"no dialog: expected " + reply->title;
        const std::wstring read = ReadDialog(dialog), expected = reply->title + L"\n" + reply->text;
        if (!Press(dialog, reply->box ? IDOK : IDCANCEL)) return L"the dialog stays: " + read;
        if (reply->box && (reply->text.empty() ? !read.starts_with(expected) : read != expected))
            return L"message box \"" + read + L"\", expected \"" + expected + L"\"";
    }
    if (!WaitUntilHandled(main))
        return ::IsWindow(main) ? L"the program does not answer" : L"the program has ended";
    if (const HWND stray = FindWindowOf(process)) return L"unexpected window " + WindowText(stray);
    std::wstring trouble;
    WaitFor(2000, [&] { return (trouble = CompareWithModel(main, model)).empty(); });
    return trouble;
}

unsigned long FromEnvironment(const char* name, unsigned long fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::strtoul(value, nullptr, 10) : fallback;
}

TEST_F(RandomRun, EveryStepShowsWhatTheModelSays) {
    const unsigned long seed = FromEnvironment("BREVIKON_MONKEY_SEED", 1987);
    const unsigned long steps = FromEnvironment("BREVIKON_MONKEY_STEPS", 300);
    wchar_t program[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    const auto stepsFile = std::filesystem::path(program).parent_path() / L"monkey-steps.txt";
    std::wofstream log(stepsFile);
    log << L"seed " << seed << L", " << steps << L" steps" << std::endl;
    const std::string rerun =
        " of seed " + std::to_string(seed) + " (every step in " + stepsFile.string() + ")";
    const std::vector<DropFile> files = CollectDropFiles(documents_, folder_);
    ASSERT_TRUE(Start({}));

    std::mt19937 random(seed);
    Model model;
    const ULONGLONG started = ::GetTickCount64();
    for (unsigned long step = 1; step <= steps; ++step) {
        const Action action = NextAction(random, files);
        log << L"step " << step << L": " << Describe(action) << std::endl;
        const std::optional<Reply> reply = Apply(model, action);
        std::wstring trouble = Perform(main_, action);
        if (trouble.empty()) trouble = CheckStep(main_, process_.dwProcessId, reply, model);
        ASSERT_EQ(trouble, L"") << "step " << step << rerun << ": " << Describe(action);
        ASSERT_LT(::GetTickCount64() - started, RunLimitMs) << "after step " << step << rerun;
    }
    // The end, as the user ends it, without any question.
    const bool chord = random() % 2 != 0;
    log << L"end: " << (chord ? L"ctrl+q" : L"command") << std::endl;
    EXPECT_EQ(End(chord ? L"ctrl+q" : L"command"), DWORD{ExitNormal}) << "at the end" << rerun;
}

}  // namespace
}  // namespace brevikon::e2e
