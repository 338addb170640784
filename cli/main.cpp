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
#if defined(__GLIBC__)
#include <malloc.h>
#endif

int main(int argc, char** argv) {
    // Before anything else opens a file: see there.
    brevikon::PrepareProcessForFiles();
#if defined(__GLIBC__)
    // Workers allocate little besides their images, which are mapped on their own; an arena
    // per worker would only reserve 64 MiB of address space each, and -j 16 under a limit
    // on the address space would fail for it.
    ::mallopt(M_ARENA_MAX, 2);
#endif
    std::vector<brevikon::NativeString> arguments(argv + 1, argv + argc);
    return brevikon::ConverterMain(arguments, stdout, stderr);
}
#endif
