#pragma once
// Running brevikon-rtf in-process with captured output, and small file helpers for its tests.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cli/converter.h"

namespace brevikon::test {

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline NativeString Native(const std::filesystem::path& path) {
#ifdef _WIN32
    return path.wstring();
#else
    return path.string();
#endif
}

inline NativeString Native(const char* text) {
    return Native(std::filesystem::path(text));
}

// Everything written to a temporary stream, which is closed.
inline std::string Drain(std::FILE* stream) {
    std::fflush(stream);
    std::rewind(stream);
    std::string text;
    char chunk[4096];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, stream)) > 0)
        text.append(chunk, got);
    std::fclose(stream);
    return text;
}

struct ConverterRun {
    int code = 0;
    std::string out;
    std::string err;
};

inline ConverterRun RunConverterCaptured(const std::vector<NativeString>& arguments) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int code = ConverterMain(arguments, out, err);
    return {code, Drain(out), Drain(err)};
}

}  // namespace brevikon::test
