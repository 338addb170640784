#pragma once
// A fresh folder per test and an in-process run of brevikon-rtf with captured output.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/converter_run.h"

namespace brevikon::test {

class CliFixture : public testing::Test {
  protected:
    void SetUp() override {
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        folder_ = std::filesystem::temp_directory_path() /
                  (std::string("brevikon-") + info->test_suite_name() + "-" + info->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    int Run(const std::vector<NativeString>& arguments) {
        ConverterRun run = RunConverterCaptured(arguments);
        out_ = std::move(run.out);
        err_ = std::move(run.err);
        return run.code;
    }

    // Every file below folder, as sorted relative paths with '/'.
    static std::vector<std::string> FilesBelow(const std::filesystem::path& folder) {
        std::vector<std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            if (entry.is_regular_file() && !entry.is_symlink()) {
                files.push_back(entry.path().lexically_relative(folder).generic_string());
            }
        }
        std::sort(files.begin(), files.end());
        return files;
    }

    // The lines of a text, without their line ends.
    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::size_t start = 0;
        for (std::size_t end; (end = text.find('\n', start)) != std::string::npos;
             start = end + 1) {
            lines.push_back(text.substr(start, end - start));
        }
        if (start < text.size()) lines.push_back(text.substr(start));
        return lines;
    }

    std::filesystem::path folder_;
    std::string out_;
    std::string err_;
};

}  // namespace brevikon::test
