// e2e-driver: drives a running brevikon-reader.exe from outside, as a user would, and reads
// what it shows. Runs under the same Wine server as the program. One command per start;
// results go to standard output as UTF-8, the exit code says whether the command held.
// `e2e-driver help` prints every command with its arguments from the table below, the same
// table that dispatches them: a new command is one row.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/platform/win32/display_units.h"
#include "app/platform/win32/status_layout.h"
#include "driver.h"

namespace {

using namespace brevikon::e2e;

int Help(const Call&);
int Constants(const Call&);

constexpr Command Commands[] = {
    {L"help", L"", L"this list", Help},
    {L"constants", L"", L"the program's command ids and sizes in units, as NAME=VALUE", Constants},
    {L"wait-window", L"[MS]", L"until the main window is shown; prints its process id", WaitWindow},
    {L"wait-title", L"TEXT [MS]", L"until the title reads TEXT", WaitTitle},
    {L"status", L"FIELD", L"a status-bar field's text", OnWindow<Status>},
    {L"wait-status", L"FIELD TEXT [MS]", L"until the field reads TEXT", WaitStatus},
    {L"status-edges", L"", L"the right edges of the status fields", OnWindow<StatusEdges>},
    {L"viewer-zoom", L"", L"the viewer's zoom as numerator/denominator", OnWindow<ViewerZoom>},
    {L"geometry", L"", L"sizes in device pixels, one NAME=VALUE per line", OnWindow<Geometry>},
    {L"resize", L"WIDTH HEIGHT", L"asks for this outer size, then prints geometry",
     OnWindow<Resize>},
    {L"wait-size", L"WIDTH HEIGHT [MS]", L"until the outer size is this, then prints geometry",
     OnWindow<WaitSize>},
    {L"show", L"maximize|restore|minimize", L"shows the window so, once it is", OnWindow<Show>},
    {L"key", L"CHORD...", L"keys, each handled before the next: ctrl+o, ctrl+add (keypad +)",
     OnWindow<Key>},
    {L"click-viewer", L"", L"a left click into the middle of the viewer", OnWindow<Click>},
    {L"wheel", L"[ctrl] DELTA...", L"turns the wheel over the viewer (120: one notch)",
     OnWindow<Wheel>},
    {L"command", L"ID", L"a menu command, as if chosen from the menu", OnWindow<MenuCommand>},
    {L"quit", L"close|CHORD [MS]", L"closes or presses CHORD; prints exit=CODE once ended",
     OnWindow<Quit>},
    {L"copy-viewer", L"", L"selects the viewer's text, Ctrl+C; prints the copy",
     OnWindow<CopyViewer>},
    {L"clipboard", L"", L"the text on the clipboard, also once the program has ended", Clipboard},
    {L"message", L"[MS]", L"prints a message box's title and text and presses OK", Message},
    {L"dialog-cancel", L"TITLE [MS]", L"cancels the dialog with this title", Cancel},
    {L"dialog-type", L"TITLE NAME [MS]", L"prints a file dialog's preset, types NAME, OK",
     DialogType},
    {L"dialog-replace", L"TITLE NAME [MS]", L"as dialog-type; prints the question it asks",
     DialogReplace},
    {L"answer", L"yes|no [MS]", L"presses Yes or No in the open question", Answer},
    {L"drop", L"FILE...", L"drags the files onto the window through OLE", OnWindow<Drop>},
    {L"monkey", L"SEED STEPS EMPTY-FILE TOO-LARGE-FILE DOCUMENT...",
     L"random steps, each checked, then quits", OnWindow<RunMonkey>},
};

}  // namespace

namespace brevikon::e2e {

void Print(const std::wstring& text) {
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                            nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(),
                          bytes, nullptr, nullptr);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int Fail(const std::wstring& why) {
    Print(L"FAIL: " + why);
    return 1;
}

int Call::Number(std::size_t index) const {
    return static_cast<int>(std::wcstol(words.at(index).c_str(), nullptr, 10));
}

DWORD Call::Wait(std::size_t index) const {
    return index < words.size()
               ? static_cast<DWORD>(std::wcstoul(words[index].c_str(), nullptr, 10))
               : DefaultWaitMs;
}

}  // namespace brevikon::e2e

namespace {

using namespace brevikon;
using namespace brevikon::e2e;

// The program's own numbers, so that the checks never spell them again.
int Constants(const Call&) {
    const std::pair<const wchar_t*, long long> constants[] = {
        {L"CommandOpen", CommandOpen},
        {L"CommandSaveAsRtf", CommandSaveAsRtf},
        {L"CommandClose", CommandClose},
        {L"CommandAnalyseStructure", CommandAnalyseStructure},
        {L"CommandQuit", CommandQuit},
        {L"CommandZoomIn", CommandZoomIn},
        {L"CommandZoomOut", CommandZoomOut},
        {L"CommandZoomReset", CommandZoomReset},
        {L"CommandMonospaceFont", CommandMonospaceFont},
        {L"CommandProportionalFont", CommandProportionalFont},
        {L"CommandAbout", CommandAbout},
        {L"ZoomDefault", ZoomDefault},
        {L"ZoomStep", ZoomStep},
        {L"MainWindowInnerWidth", MainWindowInnerWidth},
        {L"MainWindowInnerHeight", MainWindowInnerHeight},
        {L"MainWindowMinimumWidth", MainWindowMinimumWidth},
        {L"MainWindowMinimumHeight", MainWindowMinimumHeight},
        {L"ZoomFieldWidth", ZoomFieldWidth},
        {L"StatusGripGapUnits", StatusGripGapUnits},
        {L"UnitsPerInch", UnitsPerInch},
        {L"ExitNormal", ExitNormal},
        {L"ExitStartFailed", ExitStartFailed}};
    for (const auto& [name, value] : constants)
        Print(std::wstring(name) + L"=" + std::to_wstring(value));
    return 0;
}

// Every word outside brackets is required ("FILE..." at least once); words in brackets are
// optional.
std::size_t RequiredWords(const wchar_t* arguments) {
    std::size_t count = 0;
    bool inBrackets = false;
    bool wordStart = true;
    for (const wchar_t* c = arguments; *c != L'\0'; ++c) {
        if (*c == L'[') inBrackets = true;
        if (*c == L']') inBrackets = false;
        if (wordStart && !inBrackets && *c != L' ' && *c != L'[') ++count;
        wordStart = *c == L' ';
    }
    return count;
}

int Help(const Call&) {
    Print(L"e2e-driver COMMAND [ARGUMENT...]   (MS: the longest wait in milliseconds)");
    for (const Command& command : Commands) {
        std::wstring line = L"  " + std::wstring(command.name) + L" " + command.arguments;
        line.resize(std::max<std::size_t>(line.size() + 1, 36), L' ');
        Print(line + command.help);
    }
    return 0;
}

void BecomeDpiAware() {
    // Measured in the same device pixels as the program sees them.
    using SetContext = BOOL(WINAPI*)(HANDLE);
    const auto setContext = reinterpret_cast<SetContext>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
    if (setContext == nullptr || !setContext(reinterpret_cast<HANDLE>(-4))) {
        ::SetProcessDPIAware();
    }
}

int Run(int argc, wchar_t** argv) {
    if (argc < 2) return Fail(L"no command; e2e-driver help lists them");
    const std::wstring name = argv[1];
    for (const Command& command : Commands) {
        if (name != command.name) continue;
        Call call{{argv + 2, argv + argc}, MainWindow()};
        if (call.words.size() < RequiredWords(command.arguments)) {
            return Fail(name + L" " + command.arguments);
        }
        return command.function(call);
    }
    return Fail(L"unknown command " + name + L"; e2e-driver help lists them");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // LF only: the checks compare the lines as they are.
    _setmode(_fileno(stdout), _O_BINARY);
    BecomeDpiAware();
    return Run(argc, argv);
}
