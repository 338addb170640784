// What a hostile or unlucky tree does to a run: links, devices and pipes at output names,
// files and folders swapped after the walk, one file under several names. Nothing outside
// the outputs is ever written, and never an input.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "base/text.h"
#include "cli/conversion_plan.h"
#include "cli/convert_job.h"
#include "cli_fixture.h"

namespace brevikon {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::SmallDocument;
using test::StartsWith;
using test::WriteFile;

class SafeOutputsTest : public test::CliFixture {
  protected:
    void SetUp() override {
        CliFixture::SetUp();
        tree_ = folder_ / "t";
        outside_ = folder_ / "outside";
        fs::create_directories(tree_);
        WriteFile(outside_ / "secret.txt", "secret");
    }

    static mode_t ModeOf(const fs::path& path) {
        struct stat info;
        return ::lstat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
    }

    static mode_t NewFileMode() {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return 0666 & ~mask;
    }

    fs::path tree_;
    fs::path outside_;
};

// A link or a pipe at a default output name, or the input under it, is refused; set-id bits
// of a replaced output are dropped. A link named with -o is replaced as a name.
TEST_F(SafeOutputsTest, OutputNamesThatAreNoRegularFileAreNeverWrittenThrough) {
    for (const char* name : {"A.TXT", "B.TXT", "C.TXT", "D.TXT"})
        WriteFile(tree_ / name, SmallDocument);
    ASSERT_EQ(::mkfifo((outside_ / "pipe").c_str(), 0600), 0);
    fs::create_symlink(outside_ / "secret.txt", tree_ / "A.rtf");
    fs::create_symlink(outside_ / "pipe", tree_ / "B.rtf");
    fs::create_symlink(tree_ / "C.TXT", tree_ / "C.rtf");
    WriteFile(tree_ / "D.rtf", "earlier output");
    fs::permissions(tree_ / "D.rtf", static_cast<fs::perms>(06755));

    EXPECT_EQ(Run({"-r", "-j", "2", tree_}), 1);
    const std::string refused = "keine gewoehnliche Datei, wird nicht ersetzt";
    EXPECT_TRUE(StartsWith(
        err_, NotWritten(tree_ / "A.TXT", tree_ / "A.rtf", refused) +
                  NotWritten(tree_ / "B.TXT", tree_ / "B.rtf", refused) +
                  Failure(tree_ / "C.TXT", "Die Eingabedatei kann nicht ueberschrieben werden: " +
                                               (tree_ / "C.rtf").string())));
    EXPECT_EQ(ReadFile(outside_ / "secret.txt"), "secret");
    EXPECT_EQ(ReadFile(tree_ / "C.TXT"), SmallDocument);
    EXPECT_TRUE(fs::is_symlink(tree_ / "A.rtf") && fs::is_symlink(tree_ / "B.rtf"));
    EXPECT_EQ(ReadFile(tree_ / "D.rtf"), RtfOf(tree_ / "D.TXT"));
    EXPECT_EQ(ModeOf(tree_ / "D.rtf"), 0755u);
    // So is a set-id file the user names.
    fs::permissions(tree_ / "D.rtf", static_cast<fs::perms>(06755));
    EXPECT_EQ(Run({"-o", tree_ / "D.rtf", tree_ / "D.TXT"}), 0) << err_;
    EXPECT_EQ(ModeOf(tree_ / "D.rtf"), 0755u);

    // Named by the user, a link to a set-id file is replaced by a new file of its own mode.
    WriteFile(outside_ / "program", "#!");
    fs::permissions(outside_ / "program", static_cast<fs::perms>(04755));
    fs::create_symlink(outside_ / "program", tree_ / "named.rtf");
    EXPECT_EQ(Run({"-o", tree_ / "named.rtf", tree_ / "D.TXT"}), 0) << err_;
    EXPECT_EQ(ReadFile(outside_ / "program"), "#!");
    EXPECT_EQ(ModeOf(outside_ / "program"), 04755u);
    EXPECT_FALSE(fs::is_symlink(tree_ / "named.rtf"));
    EXPECT_EQ(ModeOf(tree_ / "named.rtf"), NewFileMode());
}

// Another process keeps swapping the output name between links to a device, a file outside
// and the input, and nothing; conversions by default name and by -o go on meanwhile.
TEST_F(SafeOutputsTest, LinkFlippedAtTheOutputNameChangesNothingOutside) {
    const fs::path input = WriteFile(tree_ / "A.TXT", SmallDocument), target = tree_ / "A.rtf";
    std::atomic<bool> stop{false};
    std::thread flipper([&] {
        // From the device, where a write goes in place, to a file, to nothing.
        const fs::path targets[] = {"/dev/null", outside_ / "secret.txt", "/dev/null", input, ""};
        const fs::path staged = tree_ / "flip";
        for (unsigned round = 0; !stop.load(); ++round) {
            std::error_code ignored;
            const fs::path& next = targets[round % std::size(targets)];
            if (next.empty()) {
                fs::remove(target, ignored);
            } else {
                fs::create_symlink(next, staged, ignored);
                fs::rename(staged, target, ignored);
            }
        }
    });
    for (int round = 0; round < 1000; ++round) {
        if (round % 2 == 0) {
            Run({input});
        } else {
            Run({"-o", target, input});
        }
    }
    stop.store(true);
    flipper.join();
    EXPECT_EQ(ReadFile(outside_ / "secret.txt"), "secret");
    EXPECT_EQ(ReadFile(input), SmallDocument);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

// The walk's decisions hold after it: a file swapped for a link to a secret is not read, and
// a folder swapped for a link is not written into, even when it holds the very same file.
TEST_F(SafeOutputsTest, FilesAndFoldersSwappedAfterTheWalkAreRefused) {
    for (const char* name : {"A.TXT", "B.TXT", "C.TXT"})
        WriteFile(tree_ / "sub" / name, SmallDocument);
    WriteFile(outside_ / "secret.txt", "geheim\r\n\x1a");
    ConverterOptions options;
    options.recursive = true;
    options.files = {tree_.native()};
    const std::vector<ConversionJob> jobs = PlanConversion(options);
    ASSERT_EQ(jobs.size(), 3u);
    ASSERT_EQ(fs::path(jobs[2].input).filename(), "C.TXT");

    DocumentOutput output;
    JobResult a, b, c;
    fs::remove(tree_ / "sub" / "A.TXT");
    fs::create_symlink(outside_ / "secret.txt", tree_ / "sub" / "A.TXT");
    ConvertJob(jobs[0], options, SystemFiles(), ProcessHeap(), output, a);
    // Not a link but another file renamed into its place: no name tells, only the file.
    WriteFile(outside_ / "other.txt", "anders\r\n\x1a");
    fs::rename(outside_ / "other.txt", tree_ / "sub" / "C.TXT");
    ConvertJob(jobs[2], options, SystemFiles(), ProcessHeap(), output, c);
    EXPECT_EQ(c.message, a.message);
    EXPECT_FALSE(fs::exists(tree_ / "sub" / "C.rtf"));
    // The folder moves away; a link to a folder outside takes its name, and there the same
    // file B.TXT is found under a hard link, beside an output that must stay.
    fs::rename(tree_ / "sub", tree_ / "moved");
    fs::create_hard_link(tree_ / "moved" / "B.TXT", outside_ / "B.TXT");
    WriteFile(outside_ / "B.rtf", "keep");
    fs::create_symlink(outside_, tree_ / "sub");

    ConvertJob(jobs[1], options, SystemFiles(), ProcessHeap(), output, b);
    EXPECT_EQ(Utf16ToUtf8(a.message),
              "Die Datei ist nicht mehr die beim Durchsuchen gefundene und wird nicht gelesen.");
    EXPECT_EQ(Utf16ToUtf8(b.message),
              "Die Datei konnte nicht geschrieben werden: " + (tree_ / "sub" / "B.rtf").string() +
                  " (der Ordner ist nicht mehr der gefundene)");
    EXPECT_EQ(ReadFile(outside_ / "B.rtf"), "keep");
    EXPECT_FALSE(fs::exists(outside_ / "secret.rtf") || fs::exists(outside_ / "A.rtf"));
}

// One file reached by two spellings through a linked folder is one file: two inputs that
// write it, or an output that is another input, are refused, the same for any worker count.
TEST_F(SafeOutputsTest, CollisionsAreFoundByFileNotBySpelling) {
    WriteFile(tree_ / "a" / "X.TXT", "x\r\n\x1a");
    fs::create_directory_symlink(tree_ / "a", tree_ / "l");
    WriteFile(tree_ / "a" / "X.DOC", "y\r\n\x1a");
    WriteFile(tree_ / "a" / "Y.TXT", "z\r\n\x1a");
    WriteFile(tree_ / "a" / "Y.rtf", "an input too");
    const std::vector<fs::path> arguments = {tree_ / "a" / "X.TXT", tree_ / "l" / "X.DOC",
                                             tree_ / "a" / "Y.TXT", tree_ / "l" / "Y.rtf"};
    const std::string expected =
        Failure(tree_ / "l" / "X.DOC", "Die Ausgabedatei entsteht in diesem Lauf schon aus " +
                                           (tree_ / "a" / "X.TXT").string() + ": " +
                                           (tree_ / "l" / "X.rtf").string()) +
        Failure(tree_ / "a" / "Y.TXT", "Die Eingabedatei kann nicht ueberschrieben werden: " +
                                           (tree_ / "a" / "Y.rtf").string()) +
        Failure(tree_ / "l" / "Y.rtf", "Die Eingabedatei kann nicht ueberschrieben werden: " +
                                           (tree_ / "l" / "Y.rtf").string());
    for (const char* jobs : {"1", "2"}) {
        std::vector<fs::path> run = {"-j", jobs};
        run.insert(run.end(), arguments.begin(), arguments.end());
        EXPECT_EQ(Run(run), 1);
        EXPECT_EQ(err_, expected) << jobs;
        EXPECT_EQ(ReadFile(tree_ / "a" / "X.rtf"), RtfOf(tree_ / "a" / "X.TXT"));
        EXPECT_EQ(ReadFile(tree_ / "a" / "Y.rtf"), "an input too");
    }
}

// A name that would break its line or hide its bytes is quoted as a shell would read it.
TEST_F(SafeOutputsTest, NamesInMessagesAreOneLineAndRecoverable) {
    const std::pair<std::string, std::string> names[] = {
        {"a\nb.txt", "'" + tree_.string() + "/a'$'\\n''b.txt'"},
        {"c\xff.txt", "'" + tree_.string() + "/c'$'\\377''.txt'"},
        {"it's\t.txt", "'" + tree_.string() + "/it'\\''s'$'\\t''.txt'"},
        {"gr\xC3\xBC\xC3\x9F e.txt", tree_.string() + "/gr\xC3\xBC\xC3\x9F e.txt"},
    };
    for (const auto& [name, shown] : names) {
        WriteFile(tree_ / name, "");
        EXPECT_EQ(Run({tree_ / name}), 1);
        EXPECT_EQ(err_, "brevikon-rtf: " + shown + ": Die Datei ist leer.\n");
    }
    // A name given as it stands that starts with a quote would read back without it.
    const fs::path before = fs::current_path();
    fs::current_path(tree_);
    WriteFile("'x.txt", "");
    EXPECT_EQ(Run({"'x.txt"}), 1);
    fs::current_path(before);
    EXPECT_EQ(err_, "brevikon-rtf: ''\\''x.txt': Die Datei ist leer.\n");
}

}  // namespace
}  // namespace brevikon
#endif
