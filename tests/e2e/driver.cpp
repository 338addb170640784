// e2e-driver: drives a running brevikon-reader.exe from outside, as a user would, and reads
// what it shows. Runs under the same Wine server as the program. One command per start;
// results go to standard output as UTF-8, the exit code says whether the command held.
// `e2e-driver help` prints every command with its arguments from the table that dispatches
// them: a new command is one row.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/platform/win32/display_units.h"
#include "app/platform/win32/status_layout.h"
#include "driver.h"

namespace {

using namespace brevikon::e2e;

int Help(const Call&);
int Constants(const Call&);

// A command that acts on the main window: fails at once when none is shown.
template <int (*Function)(HWND, const Call&)>
int OnWindow(const Call& call) {
    return call.main != nullptr ? Function(call.main, call) : Fail(L"no main window");
}

struct Command {
    const wchar_t* name;
    // Words in capitals are required ("FILE..." at least once), words in brackets optional;
    // MS is the longest wait in milliseconds.
    const wchar_t* arguments;
    std::size_t required;
    int (*function)(const Call&);
};

constexpr Command Commands[] = {
    {L"help", L"", 0, Help},
    {L"constants", L"", 0, Constants},         // the program's numbers as NAME=VALUE
    {L"wait-window", L"[MS]", 0, WaitWindow},  // prints its process id
    {L"wait-title", L"TEXT [MS]", 1, WaitTitle},
    {L"wait-status", L"FIELD TEXT [MS]", 2, WaitStatus},
    {L"status-edges", L"", 0, OnWindow<StatusEdges>},   // the right edges of the fields
    {L"zoom", L"", 0, OnWindow<Zoom>},                  // the zoom field and the viewer's ratio
    {L"geometry", L"", 0, OnWindow<Geometry>},          // device pixels, NAME=VALUE
    {L"resize", L"WIDTH HEIGHT", 2, OnWindow<Resize>},  // outer size; prints geometry
    {L"wait-size", L"WIDTH HEIGHT [MS]", 2, OnWindow<WaitSize>},  // prints geometry
    {L"show", L"maximize|restore", 1, OnWindow<Show>},
    {L"key", L"CHORD...", 1, OnWindow<Key>},  // ctrl+o, ctrl+add (keypad +), each handled
    {L"click-viewer", L"", 0, OnWindow<Click>},
    {L"wheel", L"[ctrl] DELTA...", 1, OnWindow<Wheel>},  // 120: one notch
    {L"quit", L"close|CHORD [MS]", 1, OnWindow<Quit>},   // prints exit=CODE once ended
    {L"copy-viewer", L"", 0, OnWindow<CopyViewer>},      // all of the viewer, Ctrl+C; prints it
    {L"clipboard", L"", 0, Clipboard},                   // also once the program has ended
    // Prints the dialog's title and text, then presses the button.
    {L"press", L"ok|cancel|yes|no [TITLE]", 1, PressCommand},
    // Prints the preset name, types NAME, OK; prints the question if one is asked.
    {L"dialog-type", L"TITLE NAME", 2, DialogType},
    {L"drop", L"FILE...", 1, OnWindow<Drop>},            // through OLE; prints the effect
    {L"type-viewer", L"", 0, OnWindow<TypeIntoViewer>},  // keys and a paste; text unchanged
    {L"monkey", L"SEED STEPS EMPTY-FILE TOO-LARGE-FILE DOCUMENT...", 5, OnWindow<RunMonkey>},
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

int Help(const Call&) {
    Print(L"e2e-driver COMMAND [ARGUMENT...]   (MS: the longest wait in milliseconds)");
    for (const Command& command : Commands)
        Print(L"  " + std::wstring(command.name) + L" " + command.arguments);
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
        if (call.words.size() < command.required) return Fail(name + L" " + command.arguments);
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
