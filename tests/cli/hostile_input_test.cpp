// Odd names, odd files and files the user may not touch: a clear result or a clear refusal,
// never a hang, never a lost file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/converter_run.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace brevikon {
namespace {

namespace fs = std::filesystem;
using test::Native;
using test::ReadFile;
using test::WriteFile;

const std::string SmallDocument = "Hi\r\n\x1a";

class HostileInputTest : public testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / "brevikon-hostile";
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        fs::permissions(folder_, fs::perms::all);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(folder_ / "locked", fs::perms::all, ignored);
        fs::remove_all(folder_, ignored);
    }

    fs::path folder_;
};

TEST_F(HostileInputTest, OddNamesFollowTheDefaultNamingRule) {
    struct Case {
        std::string input;
        std::string output;
    };
    const std::string longStem(240, 'n');
    const Case cases[] = {
        {"mein brief.txt", "mein brief.rtf"},
        {"{klammer}.doc", "{klammer}.rtf"},
        {"gr\xC3\xBC\xC3\x9F"
         "e.txt",
         "gr\xC3\xBC\xC3\x9F"
         "e.rtf"},
        {"a b.c d", "a b.c d.rtf"},  // a blank ends the extension search
        {longStem + ".txt", longStem + ".rtf"},
#ifndef _WIN32
        {"quote\"d.txt", "quote.rtf"},  // a double quote ends the file name
        {"back\\slash.txt", "back\\slash.rtf"},
#endif
    };
    const std::string rtf = [&] {
        WriteFile(folder_ / "ref.txt", SmallDocument);
        return test::RunConverterCaptured({Native("-o"), Native("-"), Native(folder_ / "ref.txt")})
            .out;
    }();
    for (const Case& c : cases) {
        const fs::path input = folder_ / fs::u8path(c.input);
        WriteFile(input, SmallDocument);
        const test::ConverterRun run = test::RunConverterCaptured({Native(input)});
        EXPECT_EQ(run.code, 0) << c.input << ": " << run.err;
        EXPECT_EQ(ReadFile(folder_ / fs::u8path(c.output)), rtf) << c.input;
    }
    // Only inputs and outputs are left: no temporary file.
    for (const auto& entry : fs::directory_iterator(folder_)) {
        EXPECT_EQ(entry.path().filename().string().find(".brevikon-"), std::string::npos);
    }
}

#ifndef _WIN32
TEST_F(HostileInputTest, LinkToItselfIsRefusedAtOnce) {
    fs::create_symlink(folder_ / "loop.txt", folder_ / "loop.txt");
    const test::ConverterRun run = test::RunConverterCaptured({Native(folder_ / "loop.txt")});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("loop.txt: "), std::string::npos);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
}

// Root may read and write everything, so permission cases run as the user "nobody" in a
// child process.
test::ConverterRun RunAsUnprivileged(const std::vector<NativeString>& arguments) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return {-1, "", "pipe failed"};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(99);
        const test::ConverterRun run = test::RunConverterCaptured(arguments);
        const ssize_t ignored = ::write(pipeFds[1], run.err.data(), run.err.size());
        (void)ignored;
        ::_exit(run.code);
    }
    ::close(pipeFds[1]);
    std::string err;
    char chunk[512];
    ssize_t got;
    while ((got = ::read(pipeFds[0], chunk, sizeof chunk)) > 0)
        err.append(chunk, got);
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, "", err};
}

TEST_F(HostileInputTest, UnreadableFileAndUnwritableFolder) {
    WriteFile(folder_ / "secret.txt", SmallDocument);
    fs::permissions(folder_ / "secret.txt", fs::perms::none);
    fs::create_directories(folder_ / "locked");
    WriteFile(folder_ / "locked" / "brief.txt", SmallDocument);
    WriteFile(folder_ / "locked" / "brief.rtf", "earlier output");
    fs::permissions(folder_ / "locked" / "brief.txt", fs::perms::all);
    fs::permissions(folder_ / "locked", fs::perms::owner_read | fs::perms::owner_exec |
                                            fs::perms::group_read | fs::perms::group_exec |
                                            fs::perms::others_read | fs::perms::others_exec);

    const test::ConverterRun run = RunAsUnprivileged(
        {Native(folder_ / "secret.txt"), Native(folder_ / "locked" / "brief.txt")});
    if (run.code == 99) GTEST_SKIP() << "cannot switch to an unprivileged user";
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(
        run.err.find("secret.txt: Die Datei konnte nicht geoeffnet werden: Zugriff verweigert"),
        std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("brief.txt: Die Datei konnte nicht geschrieben werden: "),
              std::string::npos)
        << run.err;
    EXPECT_EQ(ReadFile(folder_ / "locked" / "brief.rtf"), "earlier output");
    EXPECT_FALSE(fs::exists(folder_ / "secret.rtf"));
}
#endif

}  // namespace
}  // namespace brevikon
