// -j: any number of workers gives the bytes, messages and exit status of one worker; the
// options of archive runs; the progress and summary texts.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/progress.h"
#include "cli_fixture.h"

namespace brevikon {
namespace {

namespace fs = std::filesystem;
using test::Native;
using test::ReadFile;
using test::WriteFile;

class ParallelTest : public test::CliFixture {
  protected:
    // A tree of documents of many sizes and attributes, with refused files among them.
    void MakeTree(int count) {
        for (int i = 0; i < count; ++i) {
            const fs::path folder = folder_ / "in" / ("teil" + std::to_string(i % 7));
            fs::create_directories(folder);
            std::string document;
            for (int line = 0; line < 1 + (i * 37) % 400; ++line) {
                document += "Zeile " + std::to_string(line) + " von \x84\x94\x81 " +
                            std::to_string(i) + "\x8d\n  \x1bS" +
                            static_cast<char>(1 + line % 0x7f) + "x \x1bS\x01y\r\n";
            }
            if (i % 11 == 5) document.clear();  // refused: empty
            WriteFile(folder / ("DOK" + std::to_string(1000 + i) + ".TXT"), document);
        }
    }

    // Output files and their bytes below a folder.
    std::vector<std::pair<std::string, std::string>> Outputs(const fs::path& folder) {
        std::vector<std::pair<std::string, std::string>> outputs;
        for (const std::string& name : FilesBelow(folder))
            outputs.emplace_back(name, ReadFile(folder / name));
        return outputs;
    }

    // Standard error without its last line, the summary with its time.
    static std::string WithoutSummary(const std::string& err) {
        const std::size_t last = err.rfind("Fertig: ");
        return last == std::string::npos ? err : err.substr(0, last);
    }
};

TEST_F(ParallelTest, AnyNumberOfWorkersGivesTheResultOfOne) {
    MakeTree(120);
    for (const char* format : {"rtf", "text", "html"}) {
        ASSERT_EQ(
            Run({Native("-r"), Native("-v"), Native("--to"), Native(format), Native("-j"),
                 Native("1"), Native("-d"), Native(folder_ / format), Native(folder_ / "in")}),
            1);
        const std::string serialErr = err_;
        const auto serial = Outputs(folder_ / format);
        ASSERT_EQ(serial.size(), 109u);  // 11 of 120 are empty
        EXPECT_NE(serialErr.find("Fertig: 109 Dateien umgewandelt, 11 fehlgeschlagen"),
                  std::string::npos);
        for (const char* jobs : {"2", "4", "16"}) {
            const fs::path out = folder_ / (std::string(format) + "-" + jobs);
            ASSERT_EQ(Run({Native("-r"), Native("-v"), Native("--to"), Native(format),
                           Native("--jobs=" + std::string(jobs)), Native("-d"), Native(out),
                           Native(folder_ / "in")}),
                      1);
            EXPECT_EQ(WithoutSummary(err_), WithoutSummary(serialErr)) << format << " -j " << jobs;
            EXPECT_TRUE(Outputs(out) == serial) << format << " -j " << jobs;
        }
    }
}

TEST_F(ParallelTest, StandardOutputKeepsTheInputOrder) {
    MakeTree(40);
    std::vector<NativeString> arguments = {Native("--to"), Native("report"), Native("-j"),
                                           Native("1")};
    for (const std::string& name : FilesBelow(folder_ / "in"))
        arguments.push_back(Native(folder_ / "in" / name));
    const int serialCode = Run(arguments);
    const std::string serialOut = out_;
    const std::string serialErr = err_;
    EXPECT_EQ(serialCode, 1);
    arguments[3] = Native("8");
    EXPECT_EQ(Run(arguments), serialCode);
    EXPECT_TRUE(out_ == serialOut);
    EXPECT_EQ(err_, serialErr);
    EXPECT_EQ(std::count(err_.begin(), err_.end(), '\n'), 4);  // several FILEs: no summary
}

TEST_F(ParallelTest, ArchiveOptions) {
    WriteFile(folder_ / "a.txt", "Hi\r\n\x1a");
    for (const char* bad : {"0", "-1", "zwei", "257", ""}) {
        EXPECT_EQ(Run({Native("-j"), Native(bad), Native(folder_ / "a.txt")}), 2) << bad;
        EXPECT_NE(err_.find("-j braucht eine Zahl von 1 bis 256"), std::string::npos) << err_;
    }
    EXPECT_EQ(Run({Native("-j")}), 2);
    EXPECT_EQ(Run({Native("--match"), Native("*.txt"), Native(folder_ / "a.txt")}), 2);
    EXPECT_NE(err_.find("--match gilt fuer Dateien in Ordnern und geht nur mit -r."),
              std::string::npos);
    EXPECT_EQ(Run({Native("-r"), Native("-o"), Native("x"), Native(folder_)}), 2);
    EXPECT_FALSE(fs::exists(folder_ / "a.rtf"));
    EXPECT_EQ(Run({Native("-j3"), Native("--jobs"), Native("256"), Native(folder_ / "a.txt")}), 0);
    EXPECT_TRUE(fs::exists(folder_ / "a.rtf"));
    ASSERT_EQ(Run({Native("--help")}), 0);
    for (const char* documented : {"--recursive", "--match", "--jobs", ".utf8.txt", ".html"}) {
        EXPECT_NE(out_.find(documented), std::string::npos) << documented;
    }
}

TEST(ProgressTexts, LineAndSummary) {
    EXPECT_EQ(ProgressLineText(0, 10, 0, 0.5), "0 von 10 Dateien  0,0 MB");
    EXPECT_EQ(ProgressLineText(4, 10, 3 * 1048576 + 104858, 2.0),
              "4 von 10 Dateien  3,1 MB  1,6 MB/s  noch 0:03");
    EXPECT_EQ(ProgressLineText(1, 1000, 1048576, 1.0),
              "1 von 1000 Dateien  1,0 MB  1,0 MB/s  noch 16:39");
    EXPECT_EQ(SummaryLineText(1, 0, 0.04), "Fertig: 1 Datei umgewandelt, 0 fehlgeschlagen, 0,0 s");
    EXPECT_EQ(SummaryLineText(9998, 2, 59.96),
              "Fertig: 9998 Dateien umgewandelt, 2 fehlgeschlagen, 1:00 min");
    EXPECT_EQ(SummaryLineText(3, 1, 75.4),
              "Fertig: 3 Dateien umgewandelt, 1 fehlgeschlagen, 1:15 min");
}

}  // namespace
}  // namespace brevikon
