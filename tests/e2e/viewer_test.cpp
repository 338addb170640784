// brevikon-reader.exe as a user meets it: keys through the input queue, the real file dialogs,
// an OLE drop, the mouse on the border; every check reads what the program shows (title,
// status fields, message boxes, saved files, window geometry). Only what a real window can
// show is checked here; the rules behind it are the app unit tests' and the random run's.
#include <array>
#include <cstdio>

#include "reader_fixture.h"

namespace brevikon::e2e {
namespace {

// Left, top, width, height.
using Box = std::array<long, 4>;

// What the layout checks read, in device pixels; the viewer and the status bar in the main
// window's client coordinates.
struct Shown {
    Box window, client, viewer, bar;
    std::vector<int> edges;
    SIZE dpi, frame;  // of the screen; the frame an inner size gets without menu bar

    explicit Shown(HWND main) : edges(StatusEdges(main)) {
        const HDC screen = ::GetDC(nullptr);
        dpi = {::GetDeviceCaps(screen, LOGPIXELSX), ::GetDeviceCaps(screen, LOGPIXELSY)};
        ::ReleaseDC(nullptr, screen);
        RECT rect{0, 0, 0, 0};
        ::AdjustWindowRectEx(&rect, WS_OVERLAPPEDWINDOW, FALSE, 0);
        frame = {rect.right - rect.left, rect.bottom - rect.top};
        for (auto [of, box] :
             {std::pair{main, &window}, {ViewerOf(main), &viewer}, {StatusBarOf(main), &bar}}) {
            ::GetWindowRect(of, &rect);
            if (of != main) ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&rect), 2);
            *box = {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
        }
        ::GetClientRect(main, &rect);
        client = {0, 0, rect.right, rect.bottom};
    }
    // Pixels for units along x (or y), rounded like the program does.
    long Px(std::int64_t units, bool y = false) const {
        return static_cast<long>((units * (y ? dpi.cy : dpi.cx) + UnitsPerInch / 2) / UnitsPerInch);
    }
    // The viewer fills the client area down to the status bar.
    Box ViewerFills() const { return {0, 0, client[2], bar[1]}; }
};

// Until the window has this outer size and has handled it; `move` is repeated meanwhile: the
// size loop under Wine takes the first move after the press for the start of the drag.
template <class Move>
bool ReachesSize(HWND main, long width, long height, Move move) {
    const auto reached = [&] {
        move();
        const Box window = Shown(main).window;
        return window[2] == width && window[3] == height;
    };
    return WaitFor(WaitMs, reached, 50) && WaitUntilHandled(main);
}

// The cursor to x, y, with a move there the window under it sees, and `flags` on top.
void MouseAt(long x, long y, DWORD flags = 0) {
    ::SetCursorPos(x, y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | flags;
    ::SendInput(1, &input, sizeof input);
}

// Presses the left button at x, y until the window's thread is in its size loop; a press
// Wine dropped is let go and made again.
bool PressToSize(HWND main, long x, long y) {
    const DWORD thread = ::GetWindowThreadProcessId(main, nullptr);
    const auto sizing = [thread] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return ::GetGUIThreadInfo(thread, &info) && (info.flags & GUI_INMOVESIZE) != 0;
    };
    for (int press = 0; press < PressTries; ++press) {
        BringToFront(main);
        MouseAt(x, y);
        MouseAt(x, y, MOUSEEVENTF_LEFTDOWN);
        if (WaitFor(PressWaitMs, sizing)) return true;
        MouseAt(x, y, MOUSEEVENTF_LEFTUP);
        WaitUntilHandled(main);
    }
    return false;
}

// Written once for any resolution: at 96 DPI the window fits the screen and is centred, at
// 144 DPI it is larger and starts at 0, 0 (BREVIKON_E2E_DPI names the one expected).
TEST_F(ReaderTest, LayoutFollowsTheUnitsAtTheResolutionItRunsAt) {
    ASSERT_TRUE(Start({document_}));
    Shown shown(main_);
    if (const char* expected = std::getenv("BREVIKON_E2E_DPI")) {
        ASSERT_EQ(std::to_string(shown.dpi.cx) + " " + std::to_string(shown.dpi.cy),
                  std::string(expected) + " " + expected);
    }
    const long screen[] = {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    const int menu = ::GetSystemMetrics(SM_CYMENU), grip = ::GetSystemMetrics(SM_CXVSCROLL);
    const long field = shown.Px(ZoomFieldWidth), gap = shown.Px(StatusGripGapUnits);

    // The outer size from the inner units without menu bar, the inner size with it; each
    // axis centred, or at 0 when the window is larger than the screen.
    const long width = shown.Px(MainWindowInnerWidth) + shown.frame.cx;
    const long height = shown.Px(MainWindowInnerHeight, true) + shown.frame.cy;
    const long x = width > screen[0] ? 0 : (screen[0] - width) / 2;
    const long y = height > screen[1] ? 0 : (screen[1] - height) / 2;
    // Wine keeps a window larger than the screen to the screen's size: then only its place
    // is the program's.
    const bool fits = x > 0 && y > 0;
    EXPECT_EQ(shown.window,
              (Box{x, y, fits ? width : shown.window[2], fits ? height : shown.window[3]}));
    if (fits) {
        EXPECT_EQ(shown.client,
                  (Box{0, 0, width - shown.frame.cx, height - shown.frame.cy - menu}));
    }
    long client = shown.client[2];
    EXPECT_EQ(shown.viewer, shown.ViewerFills()) << "anchored, across the width";
    EXPECT_EQ(shown.edges, (std::vector<int>{client - gap - grip - field, client - gap - grip}))
        << "the zoom field, then a gap and the grip";

    // Asked for less than the smallest size, the program keeps to it.
    ::SetWindowPos(main_, nullptr, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_TRUE(WaitUntilHandled(main_));
    shown = Shown(main_);
    const long w = shown.Px(MainWindowMinimumWidth), h = shown.Px(MainWindowMinimumHeight, true);
    // Outer size, inner size with the menu bar, the viewer's width.
    EXPECT_EQ((Box{shown.window[2], shown.window[3], shown.client[3] + menu, shown.viewer[2]}),
              (Box{w + shown.frame.cx, h + shown.frame.cy, h, w}));
    EXPECT_EQ(shown.viewer, shown.ViewerFills());

    // Maximised, the grip goes and the zoom field reaches the edge.
    ::ShowWindow(main_, SW_MAXIMIZE);
    ASSERT_TRUE(WaitFor(WaitMs, [&] { return ::IsZoomed(main_); }) && WaitUntilHandled(main_));
    shown = Shown(main_);
    client = shown.client[2];
    EXPECT_EQ(shown.viewer, shown.ViewerFills());
    EXPECT_EQ(shown.edges, (std::vector<int>{client - field, client}));
    EXPECT_EQ(End(L"close"), DWORD{ExitNormal});
}

// The user drags the lower right corner inwards, then past the smallest size.
TEST_F(ReaderTest, BorderDragStopsAtTheSmallestSize) {
    ASSERT_TRUE(Start({document_}));
    const Box window = Shown(main_).window;
    const long right = window[0] + window[2] - 2, bottom = window[1] + window[3] - 2;
    ASSERT_TRUE(PressToSize(main_, right, bottom)) << "no press on the corner started a drag";
    const bool followed = ReachesSize(main_, window[2] - 150, window[3] - 100,
                                      [&] { MouseAt(right - 150, bottom - 100); });
    const Shown dragged(main_);
    const bool stopped = ReachesSize(main_, dragged.Px(MainWindowMinimumWidth) + dragged.frame.cx,
                                     dragged.Px(MainWindowMinimumHeight, true) + dragged.frame.cy,
                                     [&] { MouseAt(window[0] + 40, window[1] + 40); });
    MouseAt(window[0] + 40, window[1] + 40, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(followed) << "the window is " << dragged.window[2] << " x " << dragged.window[3];
    EXPECT_EQ(dragged.viewer, dragged.ViewerFills()) << "while dragging";
    EXPECT_TRUE(stopped) << "the window is " << Shown(main_).window[2] << " x "
                         << Shown(main_).window[3];
}

// Typed and pasted keys must not change the viewer; the zoom keys and the wheel with Ctrl
// take the program's own steps, not the control's: half a notch waits for its second half,
// and without Ctrl nothing zooms.
TEST_F(ReaderTest, KeysLeaveTheTextAndZoomTakesTheProgramsSteps) {
    ASSERT_TRUE(Start({document_}));
    const HWND viewer = ViewerOf(main_);
    const std::wstring before = WindowText(viewer);
    std::wstring paste = L"eingefuegt";
    ASSERT_TRUE(Clipboard(paste, true));
    ClickViewer();
    Ask(viewer, EM_SETSEL, 0, -1);
    EXPECT_TRUE(Keys(
        {L"x", L"return", L"back", L"delete", L"ctrl+v", L"shift+insert", L"ctrl+x", L"ctrl+z"}));
    EXPECT_EQ(WindowText(viewer), before) << "the viewer took typed or pasted text";

    const std::int64_t in = ZoomDefault + ZoomStep;
    const std::pair<const wchar_t*, std::int64_t> steps[] = {
        {L"ctrl+add", in},     {L"ctrl+0", ZoomDefault},         {L"ctrl+wheel120", in},
        {L"ctrl+wheel60", in}, {L"ctrl+wheel60", in + ZoomStep}, {L"wheel-120", in + ZoomStep}};
    for (const auto& [input, zoom] : steps) {
        ASSERT_TRUE(Keys({input}));
        const std::wstring ratio = zoom == ZoomDefault ? L"0/0" : std::to_wstring(zoom) + L"/100";
        EXPECT_EQ(StatusText(main_, StatusFieldZoom) + L" " + ViewerZoom(main_),
                  Wide(ZoomStatusText(zoom)) + L" " + ratio)
            << "after " << input;
    }
}

// A document is shown from its first line, whatever the control did while it was being
// filled. This one is BRIEF.TXT with 200 lines more before its end, longer than the window, so
// a view scrolled to its end could be told apart.
TEST_F(ReaderTest, ALongDocumentShowsItsStart) {
    std::string bytes = Bytes(document_);
    bytes.resize(bytes.find(static_cast<char>(EndOfText)));
    for (int line = 1; line <= 200; ++line)
        bytes += "Zeile " + std::to_string(line) + "\r\n";
    std::ofstream(folder_ / L"LANG.TXT", std::ios::binary) << bytes << static_cast<char>(EndOfText);
    ASSERT_TRUE(Start({Path(L"LANG.TXT")}));
    const HWND viewer = ViewerOf(main_);
    DWORD_PTR first = 1;
    EXPECT_TRUE(Ask(viewer, EM_GETFIRSTVISIBLELINE, 0, 0, &first) && first == 0)
        << "the first line shown is " << first;
    ASSERT_TRUE(Ask(viewer, WM_VSCROLL, SB_BOTTOM, 0));
    EXPECT_TRUE(Ask(viewer, EM_GETFIRSTVISIBLELINE, 0, 0, &first) && first > 0)
        << "the document fits the window: its start says nothing";
}

// Each saved file is compared with what brevikon-rtf.exe writes; the menu is reached by its
// access keys in between, and saving onto an existing file asks first.
TEST_F(ReaderTest, SavesAsTheConverterWritesAndAsksBeforeReplacing) {
    ASSERT_TRUE(Start({document_}));
    const std::wstring saved = Wide(SavedStatusPrefix), saveTitle = Wide(SaveDialogTitle);
    ClickViewer();
    ASSERT_TRUE(Keys({L"ctrl+a"}));
    EXPECT_TRUE(WaitShows(TitleOf(document_, true))) << "Ctrl+A with the viewer focused";
    SaveAs(Path(L"analyse.rtf"));
    EXPECT_TRUE(WaitShows(saved + L"analyse.rtf", StatusFieldFile));
    const std::string report = Converted({L"--to", L"report-rtf"}, document_);
    EXPECT_TRUE(Bytes(Path(L"analyse.rtf")) == report) << "not as --to report-rtf writes it";

    // Alt, A (&Ansicht), M (Schrift: &Monospace): back to the document view.
    ASSERT_TRUE(Keys({L"alt+a", L"m"}));
    EXPECT_TRUE(WaitShows(TitleOf(document_)));
    const std::wstring letter = Wide(
        FileNamePart(DefaultSaveName(std::u16string(document_.begin(), document_.end())), false));
    EXPECT_EQ(SaveAs(L"ausgabe"), letter) << "the document's name with .rtf";
    EXPECT_TRUE(WaitShows(saved + L"ausgabe.rtf", StatusFieldFile));
    const std::string rtf = Converted({}, document_);
    EXPECT_TRUE(Bytes(Path(L"ausgabe.rtf")) == rtf) << "not as brevikon-rtf writes it";

    SaveAs(letter);
    EXPECT_TRUE(WaitShows(saved + letter, StatusFieldFile));
    // The analysis proposes the same name: one Enter must not replace the letter unasked.
    ASSERT_TRUE(Keys({L"ctrl+a"}));
    ASSERT_TRUE(WaitShows(TitleOf(document_, true)));
    const auto stillOpenAfterNo = [&] {
        ASSERT_NE(question_, nullptr) << "no question before replacing";
        EXPECT_EQ(WindowText(question_), saveTitle);
        ASSERT_TRUE(Press(question_, IDNO));
        // Looked for until the wait is up: the dialog comes back to the front as the question
        // goes, and a single walk over the windows can pass it while it moves.
        const HWND dialog = FindWindowOf(process_.dwProcessId, true, saveTitle, false, WaitMs);
        ASSERT_NE(dialog, nullptr) << "after No the dialog is still open";
        EXPECT_TRUE(Press(dialog, IDCANCEL));
    };
    EXPECT_EQ(SaveAs(letter), letter);
    stillOpenAfterNo();
    EXPECT_TRUE(Bytes(Path(letter)) == rtf) << "No changed the file";
    SaveAs(letter);
    ASSERT_NE(question_, nullptr);
    ASSERT_TRUE(Press(question_, IDYES));
    EXPECT_TRUE(WaitShows(saved + letter, StatusFieldFile));
    EXPECT_TRUE(Bytes(Path(letter)) == report) << "Yes did not replace the file";
    // Typed without its extension the name still means the existing file.
    EXPECT_EQ(SaveAs(letter.substr(0, letter.rfind(L'.'))), letter);
    stillOpenAfterNo();
}

TEST_F(ReaderTest, OpenDialogRefusesAnEmptyFileAndADropOpensTheFirst) {
    ASSERT_TRUE(Start({document_}));
    // Closed first, so that what the drop opens shows in the title.
    ASSERT_TRUE(Keys({L"ctrl+w", L"ctrl+o"}));
    TypeIntoFileDialog(Wide(OpenDialogTitle), Path(L"LEER.TXT"));
    EXPECT_EQ(AnswerMessage(), Wide(ProgramTitle) + L"\n" + Wide(FileEmptyText));
    EXPECT_EQ(DropFiles(main_, {document_, other_, Path(L"LEER.TXT")}), DWORD{DROPEFFECT_COPY});
    EXPECT_TRUE(WaitShows(TitleOf(document_)));
}

// A copy lives on the clipboard as an object of the rich-edit library; quitting must leave
// the text there and still end cleanly.
TEST_F(ReaderTest, CopyOutlivesTheProgramAfterCtrlQ) {
    ASSERT_TRUE(Start({document_}));
    std::wstring copied, after;
    Clipboard(copied, true);
    // The selection after the click: the click would take it away again.
    ClickViewer();
    Ask(ViewerOf(main_), EM_SETSEL, 0, -1);
    // A synthetic key can be lost while the X server moves the focus; a second try is
    // noted, so a program that needs two presses is still seen.
    for (int attempt = 1; attempt <= 2 && copied.empty(); ++attempt) {
        ASSERT_TRUE(Keys({L"ctrl+c"}));
        if (WaitFor(WaitMs / 2, [&] { return Clipboard(copied) && !copied.empty(); }) &&
            attempt > 1)
            std::fputs("Ctrl+C: copied on the second try\n", stderr);
    }
    ASSERT_FALSE(copied.empty()) << "Ctrl+C copied nothing";
    EXPECT_EQ(End(L"ctrl+q"), DWORD{ExitNormal});
    EXPECT_TRUE(Clipboard(after));
    EXPECT_EQ(after, copied);
}

// Start waits until the title names the first.
TEST_F(ReaderTest, OfTwoArgumentsTheFirstIsOpened) {
    ASSERT_TRUE(Start({other_, document_}));
    EXPECT_EQ(End(L"close"), DWORD{ExitNormal});
}

// Without either rich-edit library the viewer cannot be made. Wine takes WINEDLLOVERRIDES from
// the Unix environment, which a process started from here inherits from this one whatever
// environment it is given; its overrides per program deny the libraries to one program
// alone: a copy of the program under a name of its own.
TEST_F(ReaderTest, WithoutTheRichEditComponentItSaysSoAndEnds) {
    const std::wstring copy = L"brevikon-reader-ohne-richedit.exe";
    ASSERT_TRUE(std::filesystem::copy_file(ReaderProgram, Path(copy)));
    const struct Overrides {
        std::wstring key;
        ~Overrides() { ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str()); }
    } overrides{L"Software\\Wine\\AppDefaults\\" + copy};
    for (const wchar_t* library : {L"msftedit", L"riched20"}) {
        ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, (overrides.key + L"\\DllOverrides").c_str(),
                                    library, REG_SZ, L"", sizeof(wchar_t)),
                  ERROR_SUCCESS);
    }
    ASSERT_TRUE(Start({}, false, Path(copy)));
    EXPECT_EQ(AnswerMessage(), Wide(ProgramTitle) + L"\n" + Wide(RichEditNotLoadedText));
    EXPECT_EQ(End(L""), DWORD{ExitStartFailed});
}

}  // namespace
}  // namespace brevikon::e2e
