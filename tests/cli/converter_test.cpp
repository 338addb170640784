// brevikon-rtf's contract: output names, refusals, exit codes, and that nothing is lost.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/converter_run.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace brevikon {
namespace {

namespace fs = std::filesystem;

// "Hi", a hard break and the end marker: the smallest document with a paragraph.
const std::string SmallDocument = "Hi\r\n\x1a";

using test::Native;
using test::ReadFile;
using test::WriteFile;

class ConverterTest : public testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("brevikon-cli-" +
                   std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    // Runs the converter in-process; out and err are captured.
    int Run(const std::vector<NativeString>& arguments) {
        test::ConverterRun run = test::RunConverterCaptured(arguments);
        out_ = std::move(run.out);
        err_ = std::move(run.err);
        return run.code;
    }

    // The RTF that the converter writes for SmallDocument, taken once through "-o -".
    std::string SmallRtf() {
        const fs::path input = folder_ / "reference.txt";
        WriteFile(input, SmallDocument);
        EXPECT_EQ(Run({Native("-o"), Native("-"), Native(input)}), 0);
        fs::remove(input);
        return out_;
    }

    std::vector<std::string> FolderEntries() {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder_;
    std::string out_;
    std::string err_;
};

TEST_F(ConverterTest, DefaultOutputReplacesTheExtensionBesideTheInput) {
    const std::string rtf = SmallRtf();
    ASSERT_EQ(rtf.substr(0, 6), "{\\rtf1");
    fs::create_directories(folder_ / "texte");
    WriteFile(folder_ / "texte" / "BRIEF.TXT", SmallDocument);
    WriteFile(folder_ / "texte" / "brief.rtf.old", "keep");
    EXPECT_EQ(Run({Native(folder_ / "texte" / "BRIEF.TXT")}), 0);
    EXPECT_EQ(ReadFile(folder_ / "texte" / "BRIEF.rtf"), rtf);
    EXPECT_EQ(err_, "");
    EXPECT_EQ(out_, "");

    // A second run replaces the output without a question.
    WriteFile(folder_ / "texte" / "BRIEF.rtf", "old content");
    EXPECT_EQ(Run({Native(folder_ / "texte" / "BRIEF.TXT")}), 0);
    EXPECT_EQ(ReadFile(folder_ / "texte" / "BRIEF.rtf"), rtf);
}

TEST_F(ConverterTest, OutputOptions) {
    const std::string rtf = SmallRtf();
    WriteFile(folder_ / "a.doc", SmallDocument);
    WriteFile(folder_ / ".profil", SmallDocument);

    EXPECT_EQ(Run({Native("-o"), Native(folder_ / "x.out"), Native(folder_ / "a.doc")}), 0);
    EXPECT_EQ(ReadFile(folder_ / "x.out"), rtf);

    EXPECT_EQ(Run({Native("--output-dir=" + (folder_ / "out").string()), Native(folder_ / "a.doc"),
                   Native(folder_ / ".profil")}),
              0);
    EXPECT_EQ(ReadFile(folder_ / "out" / "a.rtf"), rtf);
    EXPECT_EQ(ReadFile(folder_ / "out" / ".profil.rtf"), rtf);

    // The proportional font changes every paragraph opening, nothing else.
    EXPECT_EQ(Run({Native("-p"), Native("-o"), Native("-"), Native(folder_ / "a.doc")}), 0);
    std::string proportional = rtf;
    proportional.replace(proportional.find("\\pard\\ql\\f0\\fs20"), 16, "\\pard\\ql\\f1\\fs24");
    EXPECT_EQ(out_, proportional);
}

TEST_F(ConverterTest, VerboseLineIsTheStatusBarText) {
    WriteFile(folder_ / "BRIEF.TXT", SmallDocument);
    EXPECT_EQ(Run({Native("-v"), Native(folder_ / "BRIEF.TXT")}), 0);
    EXPECT_EQ(err_, "BRIEF.TXT   (5 Bytes)   Text ab 0\n");
    EXPECT_EQ(Run({Native("-v"), Native("-q"), Native(folder_ / "BRIEF.TXT")}), 0);
    EXPECT_EQ(err_, "");
}

TEST_F(ConverterTest, RefusedFilesAreReportedAndTheRestConverted) {
    WriteFile(folder_ / "empty.txt", "");
    WriteFile(folder_ / "good.txt", SmallDocument);
    // One byte over the limit; a sparse file costs no disk.
    { std::ofstream(folder_ / "huge.txt", std::ios::binary); }
    fs::resize_file(folder_ / "huge.txt", 33554433);
    fs::create_directories(folder_ / "folder.txt");

    const int code = Run({Native(folder_ / "missing.txt"), Native(folder_ / "empty.txt"),
                          Native(folder_ / "huge.txt"), Native(folder_ / "folder.txt"),
                          Native(folder_ / "good.txt")});
    EXPECT_EQ(code, 1);
    const std::string missing = "brevikon-rtf: " + (folder_ / "missing.txt").string();
    EXPECT_NE(err_.find(missing + ": Die Datei wurde nicht gefunden.\n"), std::string::npos)
        << err_;
    EXPECT_NE(err_.find("empty.txt: Die Datei ist leer.\n"), std::string::npos) << err_;
    EXPECT_NE(err_.find("huge.txt: Die Datei ist groesser als 32 MB und wird nicht geladen.\n"),
              std::string::npos)
        << err_;
    EXPECT_NE(err_.find("folder.txt: Das ist ein Ordner, keine Datei.\n"), std::string::npos)
        << err_;
    EXPECT_EQ(std::count(err_.begin(), err_.end(), '\n'), 4);
    EXPECT_TRUE(fs::exists(folder_ / "good.rtf"));
    EXPECT_FALSE(fs::exists(folder_ / "empty.rtf"));
    EXPECT_FALSE(fs::exists(folder_ / "huge.rtf"));
}

TEST_F(ConverterTest, ExactlyThirtyTwoMegabytesIsConverted) {
    { std::ofstream(folder_ / "max.txt", std::ios::binary); }
    fs::resize_file(folder_ / "max.txt", 33554432);
    EXPECT_EQ(Run({Native(folder_ / "max.txt")}), 0) << err_;
    EXPECT_TRUE(fs::exists(folder_ / "max.rtf"));
}

TEST_F(ConverterTest, UsageErrorsExitWithTwo) {
    WriteFile(folder_ / "a.txt", SmallDocument);
    EXPECT_EQ(Run({}), 2);
    EXPECT_NE(err_.find("Aufruf: brevikon-rtf"), std::string::npos);
    EXPECT_EQ(Run({Native("--bogus"), Native(folder_ / "a.txt")}), 2);
    EXPECT_EQ(Run({Native("-o"), Native("x"), Native(folder_ / "a.txt"), Native("b")}), 2);
    EXPECT_EQ(Run({Native("--to"), Native("pdf"), Native(folder_ / "a.txt")}), 2);
    EXPECT_EQ(Run({Native(folder_ / "a.txt"), Native("-o")}), 2);
    EXPECT_FALSE(fs::exists(folder_ / "a.rtf"));  // nothing converted on a usage error
    EXPECT_EQ(Run({Native("--help")}), 0);
    EXPECT_NE(out_.find("--output-dir"), std::string::npos);
    EXPECT_EQ(Run({Native("-V")}), 0);
    EXPECT_EQ(out_.rfind("brevikon-rtf ", 0), 0u);
    // After "--" a name starting with '-' is a file.
    WriteFile(folder_ / "-dash.txt", SmallDocument);
    EXPECT_EQ(Run({Native("-o"), Native("-"), Native("--"), Native(folder_ / "-dash.txt")}), 0);
}

TEST_F(ConverterTest, TheInputDocumentIsNeverOverwritten) {
    // A document whose own name ends in .rtf would be its default output.
    WriteFile(folder_ / "BRIEF.rtf", SmallDocument);
    EXPECT_EQ(Run({Native(folder_ / "BRIEF.rtf")}), 1);
    EXPECT_NE(err_.find("Die Eingabedatei kann nicht ueberschrieben werden"), std::string::npos);
    EXPECT_EQ(ReadFile(folder_ / "BRIEF.rtf"), SmallDocument);

    // The same file by another spelling of its path.
    fs::create_directories(folder_ / "sub");
    const fs::path other = folder_ / "sub" / ".." / "BRIEF.rtf";
    EXPECT_EQ(Run({Native("-o"), Native(other), Native(folder_ / "BRIEF.rtf")}), 1);
    EXPECT_EQ(ReadFile(folder_ / "BRIEF.rtf"), SmallDocument);
#ifndef _WIN32
    fs::create_symlink(folder_ / "BRIEF.rtf", folder_ / "link.rtf");
    EXPECT_EQ(Run({Native("-o"), Native(folder_ / "link.rtf"), Native(folder_ / "BRIEF.rtf")}), 1);
    EXPECT_EQ(ReadFile(folder_ / "BRIEF.rtf"), SmallDocument);
#endif
}

#ifndef _WIN32
TEST_F(ConverterTest, PipesAndDevicesAreNotReadAndDevicesAreWrittenDirectly) {
    ASSERT_EQ(::mkfifo((folder_ / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(Run({Native(folder_ / "pipe"), Native("/dev/zero")}), 1);  // must not hang
    EXPECT_NE(err_.find("pipe: Das ist keine gewoehnliche Datei"), std::string::npos) << err_;
    EXPECT_NE(err_.find("/dev/zero: Das ist keine gewoehnliche Datei"), std::string::npos);

    WriteFile(folder_ / "a.txt", SmallDocument);
    EXPECT_EQ(Run({Native("-o"), Native("/dev/null"), Native(folder_ / "a.txt")}), 0) << err_;
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_EQ(Run({Native("-o"), Native("/dev/full"), Native(folder_ / "a.txt")}), 1);
    EXPECT_NE(err_.find("Die Datei konnte nicht geschrieben werden: /dev/full"), std::string::npos)
        << err_;
}

// A write that fails halfway (here: the file-size limit) keeps the old target, leaves no
// temporary file behind, and is reported.
TEST_F(ConverterTest, FailedWriteLeavesTheOldTargetIntact) {
    std::string document(20000, 'x');
    WriteFile(folder_ / "big.txt", document);
    WriteFile(folder_ / "big.rtf", "earlier output");

    struct rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tight = saved;
    tight.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    const int code = Run({Native(folder_ / "big.txt")});
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(code, 1);
    EXPECT_NE(err_.find("Die Datei konnte nicht geschrieben werden"), std::string::npos) << err_;
    EXPECT_EQ(ReadFile(folder_ / "big.rtf"), "earlier output");
    EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"big.rtf", "big.txt"}));
}
#endif

}  // namespace
}  // namespace brevikon
