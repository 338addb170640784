// The real program in a child process, under what a shell or a system can do to it: signals,
// a closed pipe, the file-size and descriptor limits, closed standard descriptors, folders it
// may not search, trees deeper than a path can be long.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli_fixture.h"

namespace brevikon {
namespace {

namespace fs = std::filesystem;
using test::Files;
using test::ReadFile;
using test::SmallDocument;
using test::WriteFile;

struct Outcome {
    int exitCode = -1;   // when it ended by itself
    int signal = 0;      // when a signal ended it
    std::string errors;  // standard error
};

class ProcessLimitsTest : public test::CliFixture {
  protected:
    // Starts brevikon-rtf with arguments; prepare runs in the child just before the program.
    // Standard error goes to a file read by Finish, standard output to /dev/null.
    pid_t Start(const std::vector<std::string>& arguments,
                const std::function<void()>& prepare = {}) {
        errors_ = std::tmpfile();
        const pid_t child = ::fork();
        if (child == 0) {
            ::dup2(::fileno(errors_), 2);
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            if (prepare) prepare();
            // Only what a shell would pass on.
            ::close_range(3, ~0U, 0);
            std::vector<char*> argv = {const_cast<char*>(BREVIKON_RTF_PROGRAM)};
            for (const std::string& argument : arguments)
                argv.push_back(const_cast<char*>(argument.c_str()));
            argv.push_back(nullptr);
            ::execv(BREVIKON_RTF_PROGRAM, argv.data());
            ::_exit(127);
        }
        return child;
    }

    Outcome Finish(pid_t child) {
        int status = 0;
        ::waitpid(child, &status, 0);
        Outcome outcome;
        if (WIFEXITED(status)) outcome.exitCode = WEXITSTATUS(status);
        if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
        outcome.errors = Drain(errors_);
        return outcome;
    }

    Outcome RunProgram(const std::vector<std::string>& arguments,
                       const std::function<void()>& prepare = {}) {
        return Finish(Start(arguments, prepare));
    }

    // Names below folder that this program uses for its temporary files.
    static Files Temporaries(const fs::path& folder) {
        Files found;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            if (entry.path().filename().string().starts_with(".brevikon-"))
                found.push_back(entry.path().string());
        }
        return found;
    }

    static void Limit(int resource, rlim_t value) {
        const struct rlimit limit = {value, value};
        if (::setrlimit(resource, &limit) != 0) ::_exit(98);
    }

    std::FILE* errors_ = nullptr;
};

// A file too large for the limit (which keeps the old output), a reader gone, a full device for
// the help: each is the failing file's own error line and exit status 1, and the run goes on
// with the next file.
TEST_F(ProcessLimitsTest, WriteLimitsAreErrorsOfTheirFile) {
    const fs::path big = WriteFile(folder_ / "big.txt", std::string(20000, 'x'));
    const fs::path small = WriteFile(folder_ / "small.txt", SmallDocument);
    WriteFile(folder_ / "big.rtf", "earlier output");
    Outcome run = RunProgram({big, small}, [] { Limit(RLIMIT_FSIZE, 4096); });
    EXPECT_EQ(run.exitCode, 1) << run.signal;
    EXPECT_EQ(run.errors, NotWritten(big, folder_ / "big.rtf", "Datei zu gross"));
    EXPECT_EQ(ReadFile(folder_ / "big.rtf"), "earlier output");
    EXPECT_EQ(ReadFile(folder_ / "small.rtf"), RtfOf(small));
    EXPECT_EQ(Temporaries(folder_), Files{});

    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    ::close(pipe[0]);
    run = RunProgram({"--to", "report", big, small}, [&] { ::dup2(pipe[1], 1); });
    ::close(pipe[1]);
    EXPECT_EQ(run.exitCode, 1) << run.signal;
    const std::string gone =
        ": Die Datei konnte nicht geschrieben werden: Standardausgabe (Der Leser am anderen "
        "Ende ist fort)\n";
    EXPECT_EQ(run.errors,
              "brevikon-rtf: " + big.string() + gone + "brevikon-rtf: " + small.string() + gone);

    run = RunProgram({"--help"}, [] { ::dup2(::open("/dev/full", O_WRONLY), 1); });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.errors,
              "brevikon-rtf: Die Ausgabe konnte nicht geschrieben werden: Standardausgabe (Kein "
              "Platz mehr auf dem Datentraeger)\n");
}

// With standard error closed a file opened by a worker would get descriptor 2, and the next
// message would land in it. And when descriptors run out, that is what the line says.
TEST_F(ProcessLimitsTest, ClosedStandardDescriptorsAndTooManyOpenFiles) {
    std::vector<std::string> files;
    for (int i = 0; i < 6; ++i)
        files.push_back(
            WriteFile(folder_ / ("doc" + std::to_string(i) + ".txt"), i % 2 ? "" : SmallDocument));
    std::vector<std::string> arguments = {"-j", "2"};
    arguments.insert(arguments.end(), files.begin(), files.end());
    const Outcome run = RunProgram(arguments, [] { ::close(2); });
    EXPECT_EQ(run.exitCode, 1);
    for (int i = 0; i < 6; i += 2) {
        EXPECT_EQ(ReadFile(folder_ / ("doc" + std::to_string(i) + ".rtf")),
                  RtfOf(folder_ / ("doc" + std::to_string(i) + ".txt")));
    }
    // Standard output closed: the null device takes its place and "-o -" goes there, not
    // into whatever the program opens next.
    const Outcome quiet = RunProgram({"-o", "-", files[0]}, [] { ::close(1); });
    EXPECT_EQ(quiet.exitCode, 0) << quiet.errors;

#ifndef BREVIKON_SANITIZED  // the sanitizers' own checks need descriptors of their own
    // Room for the standard descriptors and one more: the input and its folder open, the new
    // file does not.
    const Outcome limited = RunProgram({files[0]}, [] { Limit(RLIMIT_NOFILE, 4); });
    EXPECT_EQ(limited.errors,
              NotWritten(files[0], folder_ / "doc0.rtf", "Zu viele offene Dateien"));
#endif
}

// What an unprivileged user may not touch has its line (root may do all, so the child
// switches to "nobody"): a file it may not read, a folder it may not write, and in a walk a
// folder that may be read but not searched and one that may be searched but not read. A
// file below a path longer than the system allows has its line too.
TEST_F(ProcessLimitsTest, WhatMayNotBeTouchedOrExaminedIsReported) {
    const fs::path tree = folder_ / "tree", secret = folder_ / "secret.txt",
                   locked = folder_ / "locked";
    WriteFile(tree / "nosearch" / "A.TXT", SmallDocument);
    WriteFile(tree / "noread" / "B.TXT", SmallDocument);
    WriteFile(tree / "C.TXT", SmallDocument);
    WriteFile(secret, SmallDocument);
    WriteFile(locked / "brief.txt", SmallDocument);
    WriteFile(locked / "brief.rtf", "earlier output");
    fs::permissions(folder_, fs::perms::all);
    fs::permissions(tree, fs::perms::all);
    fs::permissions(secret, fs::perms::none);
    fs::permissions(locked, static_cast<fs::perms>(0555));
    fs::permissions(tree / "nosearch", static_cast<fs::perms>(0644));
    fs::permissions(tree / "noread", static_cast<fs::perms>(0333));
    const auto asNobody = [] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(99);
    };
    const Outcome files = RunProgram({secret, locked / "brief.txt"}, asNobody);
    const Outcome run = RunProgram({"-r", "-q", tree}, asNobody);
    fs::permissions(locked, fs::perms::all);
    fs::permissions(tree / "nosearch", fs::perms::all);
    fs::permissions(tree / "noread", fs::perms::all);
    if (run.exitCode == 99) GTEST_SKIP() << "cannot switch to an unprivileged user";
    EXPECT_EQ(files.exitCode, 1);
    EXPECT_EQ(files.errors,
              Failure(secret, "Die Datei konnte nicht geoeffnet werden: Zugriff verweigert") +
                  NotWritten(locked / "brief.txt", locked / "brief.rtf", "Zugriff verweigert"));
    EXPECT_EQ(ReadFile(locked / "brief.rtf"), "earlier output");
    EXPECT_FALSE(fs::exists(folder_ / "secret.rtf"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(
        run.errors,
        Failure(tree / "noread", "Der Ordner konnte nicht gelesen werden: Zugriff verweigert") +
            Failure(tree / "nosearch" / "A.TXT",
                    "Der Eintrag konnte nicht untersucht werden: Zugriff verweigert"));

    // Twenty folders of 240 characters, made one inside the other.
    int folder = ::open(tree.c_str(), O_RDONLY | O_DIRECTORY);
    fs::path deep = tree;
    const std::string name(240, 'd');
    for (int level = 0; level < 20; ++level) {
        ASSERT_EQ(::mkdirat(folder, name.c_str(), 0755), 0);
        const int inner = ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(folder);
        folder = inner;
        deep /= name;
    }
    const int file = ::openat(folder, "D.TXT", O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(::write(file, SmallDocument.data(), SmallDocument.size()),
              static_cast<ssize_t>(SmallDocument.size()));
    ::close(file);
    ::close(folder);
    const Outcome deepRun = RunProgram({"-r", "-q", tree});
    EXPECT_EQ(deepRun.exitCode, 1);
    EXPECT_NE(deepRun.errors.find(
                  Failure(deep / "D.TXT", "Die Datei konnte nicht geoeffnet werden: Name zu lang")),
              std::string::npos)
        << deepRun.errors;
    // The tree is too deep for removal by path.
    ASSERT_EQ(std::system(("rm -rf " + tree.string()).c_str()), 0);
}

// Signals at random moments of a run over many files: every output is whole, old or new;
// SIGINT and SIGTERM leave no temporary file; and the next run converts just the documents.
// Under the sanitizers a run takes some thirteen times as long: fewer rounds there look for
// memory faults on the interrupted paths, the plain build tries the many moments. On a busy
// machine, where the run takes longer, the rounds stop at a budget of waiting: fewer moments
// of a longer run, rather than a test whose length grows with the machine's load.
#ifdef BREVIKON_SANITIZED
constexpr int InterruptedRounds = 20;
#else
constexpr int InterruptedRounds = 100;
#endif
constexpr int FewestInterruptedRounds = 20;
constexpr std::chrono::seconds InterruptedWaitBudget{20};
TEST_F(ProcessLimitsTest, InterruptedRunsLeaveWholeFilesAndNoTemporaries) {
    const fs::path tree = folder_ / "tree", expected = folder_ / "expected";
    constexpr int Documents = 3000;
    std::vector<fs::path> documents;
    for (int i = 0; i < Documents; ++i) {
        std::string text;
        for (int line = 0; line <= i % 40; ++line)
            text += "Zeile " + std::to_string(line) + " des Briefs " + std::to_string(i) + "\r\n";
        documents.push_back(WriteFile(
            tree / ("teil" + std::to_string(i % 30)) / ("BRIEF" + std::to_string(i) + ".TXT"),
            text + "\x1a"));
    }
    // The new outputs, by a run that nothing interrupts; a third of the old ones exist.
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(RunProgram({"-r", "-q", "-j", "2", "-d", expected, tree}).exitCode, 0);
    const auto duration = std::chrono::steady_clock::now() - started;
    const auto outputOf = [&](int i) { return fs::path(documents[i]).replace_extension(".rtf"); };
    const auto expectedOf = [&](int i) {
        return expected / documents[i].parent_path().filename() / outputOf(i).filename();
    };
    const std::string old = "{\\rtf1 alt}";
    for (int i = 0; i < Documents; i += 3)
        WriteFile(outputOf(i), old);

    const auto meanDelay =
        std::max<std::chrono::steady_clock::duration>(duration / 2, std::chrono::milliseconds(1));
    const int rounds = static_cast<int>(std::clamp<std::int64_t>(
        InterruptedWaitBudget / meanDelay, FewestInterruptedRounds, InterruptedRounds));
    std::mt19937 random(1987);
    const int signals[] = {SIGINT, SIGTERM, SIGKILL};
    for (int round = 0; round < rounds; ++round) {
        const int signal = signals[random() % 3];
        const auto delay = duration * (random() % 1000) / 1000;
        // SIGKILL may leave a name behind, if it strikes the instant an output replaces an
        // older one; no other signal may.
        const Files before = Temporaries(tree);
        const fs::path manifest = folder_ / ("lauf" + std::to_string(round) + ".jsonl");
        const pid_t child = Start({"-r", "-q", "-j", "2", "--manifest", manifest, tree});
        std::this_thread::sleep_for(delay);
        ::kill(child, signal);
        const Outcome run = Finish(child);
        ASSERT_TRUE(run.signal == signal || run.exitCode == 0) << run.signal << run.errors;
        if (signal != SIGKILL) {
            ASSERT_EQ(Temporaries(tree), before) << "round " << round;
        }
        // The record keeps every file it finished, each line whole; only SIGKILL may cut the
        // line under way, and a cut line lacks its line feed.
        std::string records = ReadFile(manifest);
        if (signal == SIGKILL) records.erase(records.rfind('\n') + 1);
        ASSERT_TRUE(records.empty() || records.back() == '\n') << "round " << round;
        std::istringstream lines(records);
        for (std::string line; std::getline(lines, line);)
            ASSERT_FALSE(nlohmann::json::parse(line, nullptr, false).is_discarded()) << line;
        for (int i = 0; i < Documents; i += 7) {
            std::error_code missing;
            if (!fs::exists(outputOf(i), missing)) continue;
            const std::string output = ReadFile(outputOf(i));
            ASSERT_TRUE(output == old || output == ReadFile(expectedOf(i))) << outputOf(i);
        }
    }
    const Outcome last = RunProgram({"-r", "-q", "-j", "2", tree});
    EXPECT_EQ(last.exitCode, 0) << last.errors;
    Files outputs, wanted;
    for (const auto& entry : fs::recursive_directory_iterator(tree)) {
        if (entry.path().extension() == ".rtf") outputs.push_back(entry.path().string());
    }
    for (int i = 0; i < Documents; ++i) {
        wanted.push_back(outputOf(i).string());
        ASSERT_EQ(ReadFile(outputOf(i)), ReadFile(expectedOf(i)));
    }
    std::sort(outputs.begin(), outputs.end());
    std::sort(wanted.begin(), wanted.end());
    EXPECT_EQ(outputs, wanted);
}

}  // namespace
}  // namespace brevikon
#endif
