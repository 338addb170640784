// e2e-driver: drives a running brevikon-reader.exe from outside, as a user would, and reads
// what it shows. Runs under the same Wine server as the program. One command per start;
// results go to standard output as UTF-8, the exit code says whether the command held.
// `e2e-driver help` prints every command with its arguments, from the same table that
// dispatches them; each file adds the rows for what it does.
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

int Help(const Call&);

constexpr Command OwnCommands[] = {
    {L"help", L"", L"this list", Help},
    {L"constants", L"", L"the program's command ids and sizes in units, one NAME=VALUE a line",
     Constants},
};

std::vector<Command> AllCommands() {
    std::vector<Command> all(std::begin(OwnCommands), std::end(OwnCommands));
    for (const auto rows : {WindowCommands(), InputCommands(), DialogCommands(), DropCommands(),
                            TimingCommands(), MonkeyCommands()}) {
        all.insert(all.end(), rows.begin(), rows.end());
    }
    return all;
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
    for (const Command& command : AllCommands()) {
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
    for (const Command& command : AllCommands()) {
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
