#pragma once
// brevikon-rtf run in-process with its output captured, and a fresh folder per test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "cli/converter.h"

namespace brevikon::test {

// "Hi", a hard break and the end marker: the smallest document with a paragraph.
inline const std::string SmallDocument = "Hi\r\n\x1a";

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Makes the folders the file lacks, so that a test names only the files of its tree.
inline std::filesystem::path WriteFile(const std::filesystem::path& path,
                                       const std::string& bytes) {
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

// A failure shows the whole text, which is where the reason is.
inline testing::AssertionResult Holds(const std::string& text, const std::string& part) {
    if (text.find(part) != std::string::npos) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "lacks \"" << part << "\" in:\n" << text;
}
inline testing::AssertionResult StartsWith(const std::string& text, const std::string& start) {
    if (text.starts_with(start)) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "does not start with \"" << start << "\":\n" << text;
}

using Files = std::vector<std::string>;

class CliFixture : public testing::Test {
  protected:
    // The number keeps two runs of this program at the same time out of each other's way.
    void SetUp() override {
        static const std::string run = std::to_string(std::random_device{}());
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        folder_ = std::filesystem::temp_directory_path() /
                  ("brevikon-" + run + "-" + info->test_suite_name() + "-" + info->name());
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    // Each argument is an option or a path, as a user would type it.
    int Run(const std::vector<std::filesystem::path>& arguments) {
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        const int code = ConverterMain({arguments.begin(), arguments.end()}, out, err);
        out_ = Drain(out);
        err_ = Drain(err);
        return code;
    }

    // Everything in a temporary file, which is closed.
    static std::string Drain(std::FILE* stream) {
        std::fseek(stream, 0, SEEK_END);
        std::string text(static_cast<std::size_t>(std::ftell(stream)), '\0');
        std::rewind(stream);
        text.resize(std::fread(text.data(), 1, text.size(), stream));
        std::fclose(stream);
        return text;
    }

    // The RTF of a file, through "-o -".
    std::string RtfOf(const std::filesystem::path& file) {
        EXPECT_EQ(Run({"-o", "-", file}), 0) << err_;
        return out_;
    }

    // Every file below folder (none if there is no folder), as sorted relative paths with '/'.
    static Files FilesBelow(const std::filesystem::path& folder) {
        Files files;
        std::error_code missing;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, missing)) {
            if (!entry.is_symlink() && entry.is_regular_file())
                files.push_back(entry.path().lexically_relative(folder).generic_string());
        }
        std::sort(files.begin(), files.end());
        return files;
    }

    // The line the converter writes for a file it could not convert, and for one whose
    // output could not be written.
    static std::string Failure(const std::filesystem::path& file, const std::string& message) {
        return "brevikon-rtf: " + file.string() + ": " + message + "\n";
    }
    static std::string NotWritten(const std::filesystem::path& file,
                                  const std::filesystem::path& target, const std::string& reason) {
        return Failure(file, "Die Datei konnte nicht geschrieben werden: " + target.string() +
                                 " (" + reason + ")");
    }

    std::filesystem::path folder_;
    std::string out_;
    std::string err_;
};

}  // namespace brevikon::test
