// brevikon-rtf: converts documents of the Brevikon PC Textverarbeitung 1.2 to RTF.
#include <cstdio>
#include <vector>

#include "cli/converter.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    brevikon::PrepareProcessForFiles();
    // RTF goes to standard output byte for byte; messages are UTF-8.
    _setmode(_fileno(stdout), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
    std::vector<brevikon::NativeString> arguments(argv + 1, argv + argc);
    return brevikon::ConverterMain(arguments, stdout, stderr);
}
#else
int main(int argc, char** argv) {
    // Before anything else opens a file: see there.
    brevikon::PrepareProcessForFiles();
    std::vector<brevikon::NativeString> arguments(argv + 1, argv + argc);
    return brevikon::ConverterMain(arguments, stdout, stderr);
}
#endif
