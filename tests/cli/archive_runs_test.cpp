// Archive runs. -r: folders walked in name order, the tree mirrored under -d or outputs beside
// their inputs, --match, outputs of earlier runs passed over, links and pipes. -j: any number
// of workers gives the bytes, messages and exit status of one. The progress and summary texts.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/text.h"
#include "cli/name_pattern.h"
#include "cli/progress.h"
#include "cli_fixture.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace brevikon {
namespace {

namespace fs = std::filesystem;
using test::Files;
using test::ReadFile;
using test::StartsWith;
using test::WriteFile;

class RecursiveTest : public test::CliFixture {
  protected:
    // Documents that differ, so that a file landing in the wrong place shows.
    void SetUp() override {
        CliFixture::SetUp();
        archive_ = folder_ / "archiv";
        out_dir_ = folder_ / "out";
        fs::create_directories(archive_ / "leer");
        WriteFile(archive_ / "BRIEF.TXT", "Brief\r\n\x1a");
        WriteFile(archive_ / "BRIEF.rtf", "output of an earlier run");
        WriteFile(archive_ / "Z.txt", "Zett\r\n\x1a");
        WriteFile(archive_ / "a" / "NOTIZ.DOC", "Notiz\r\n\x1a");
        WriteFile(archive_ / "a" / "alt.RTF", "an earlier output, in capitals");
        WriteFile(archive_ / "a" / "b" / "TIEF.TXT", "Tief\r\n\x1a");
    }

    fs::path archive_;
    fs::path out_dir_;
};

// Failures and status lines come in the order of the walk, whatever the number of workers.
TEST_F(RecursiveTest, TreeIsMirroredUnderTheOutputFolderInWalkOrder) {
    WriteFile(archive_ / "a" / "LEER.TXT", "");
    WriteFile(archive_ / "0-leer.txt", "");
    // What an output cut short by SIGKILL leaves: no document, not even an entry of -v.
    WriteFile(archive_ / "a" / ".brevikon-7.tmp", "Rest\r\n\x1a");
    EXPECT_EQ(Run({"-r", "-v", "-j", "4", "-d", out_dir_, archive_}), 1);
    // -v names input, output and the status line, and why an entry was passed over.
    const auto converted = [&](fs::path below, const std::string& status) {
        below.make_preferred();
        fs::path output = out_dir_ / below;
        return (archive_ / below).string() + " -> " + output.replace_extension(".rtf").string() +
               ": " + status + "\n";
    };
    const std::string earlier = ": uebergangen (Ausgabe eines frueheren Laufs)\n";
    EXPECT_TRUE(
        StartsWith(err_, Failure(archive_ / "0-leer.txt", "Die Datei ist leer.") +
                             converted("BRIEF.TXT", "BRIEF.TXT   (8 Bytes)   Text ab 0") +
                             (archive_ / "BRIEF.rtf").string() + earlier +
                             converted("Z.txt", "Z.txt   (7 Bytes)   Text ab 0") +
                             Failure(archive_ / "a" / "LEER.TXT", "Die Datei ist leer.") +
                             converted("a/NOTIZ.DOC", "NOTIZ.DOC   (8 Bytes)   Text ab 0") +
                             (archive_ / "a" / "alt.RTF").string() + earlier +
                             converted("a/b/TIEF.TXT", "TIEF.TXT   (7 Bytes)   Text ab 0") +
                             "Fertig: 4 Dateien umgewandelt, 2 fehlgeschlagen, 2 uebergangen, "));
    EXPECT_EQ(FilesBelow(out_dir_), (Files{"BRIEF.rtf", "Z.rtf", "a/NOTIZ.rtf", "a/b/TIEF.rtf"}));
    EXPECT_EQ(ReadFile(out_dir_ / "a" / "b" / "TIEF.rtf"),
              RtfOf(archive_ / "a" / "b" / "TIEF.TXT"));
    EXPECT_FALSE(fs::exists(out_dir_ / "leer"));  // nothing to write, no folder
}

TEST_F(RecursiveTest, OutputsLandBesideTheirInputsAndLaterRunsTakeNoOutput) {
    ASSERT_EQ(Run({"--recursive", archive_}), 0) << err_;
    EXPECT_EQ(FilesBelow(archive_),
              (Files{"BRIEF.TXT", "BRIEF.rtf", "Z.rtf", "Z.txt", "a/NOTIZ.DOC", "a/NOTIZ.rtf",
                     "a/alt.RTF", "a/b/TIEF.TXT", "a/b/TIEF.rtf"}));
    EXPECT_EQ(ReadFile(archive_ / "BRIEF.rtf"), RtfOf(archive_ / "BRIEF.TXT"));
    EXPECT_EQ(ReadFile(archive_ / "a" / "alt.RTF"), "an earlier output, in capitals");

    // Again, and twice to text, whose outputs match the documents' *.txt: only the four
    // documents are read, not the outputs of the earlier runs.
    const std::vector<fs::path> text = {"-r",    "--to",    "text",  "--match",
                                        "*.txt", "--match", "*.doc", archive_};
    for (const std::vector<fs::path>& again : {std::vector<fs::path>{"-r", archive_}, text, text}) {
        ASSERT_EQ(Run(again), 0) << err_;
        EXPECT_TRUE(StartsWith(err_, "Fertig: 4 Dateien umgewandelt, 0 fehlgeschlagen, "));
    }
    EXPECT_TRUE(fs::exists(archive_ / "a" / "b" / "TIEF.utf8.txt"));

    // An output folder inside the tree is not walked, whatever it holds.
    WriteFile(archive_ / "out" / "X.TXT", "x\r\n\x1a");
    ASSERT_EQ(Run({"-r", "--to=text", "-d", archive_ / "out", archive_}), 0);
    EXPECT_TRUE(StartsWith(err_, "Fertig: 4 Dateien"));
    EXPECT_TRUE(fs::exists(archive_ / "out" / "a" / "b" / "TIEF.utf8.txt"));
    EXPECT_FALSE(fs::exists(archive_ / "out" / "out"));

    // Only outputs left to take: nothing to do, and the summary says that everything was
    // passed over.
    for (const char* pattern : {"*.HTML", "*.utf8.txt", "*.RTF", "*.report.txt"}) {
        ASSERT_EQ(Run({"-r", "--to", "html", "--match", pattern, archive_}), 0);
        EXPECT_TRUE(StartsWith(err_, "Fertig: 0 Dateien umgewandelt, 0 fehlgeschlagen, 1"));
    }
}

// Several patterns: a name is taken when one of them fits. A file where a mirrored folder
// belongs makes that file's write fail, not the run.
TEST_F(RecursiveTest, MatchLimitsTheNamesTakenAndMirroredFoldersMayFail) {
    WriteFile(out_dir_ / "a", "a file where the folder a belongs");
    EXPECT_EQ(Run({"-r", "--match", "n?tiz.*", "--match=Z*", "-d", out_dir_, archive_}), 1);
    EXPECT_TRUE(StartsWith(
        err_, Failure(archive_ / "a" / "NOTIZ.DOC",
                      "Der Ordner konnte nicht angelegt werden: " + (out_dir_ / "a").string() +
                          " (dort steht eine Datei, kein Ordner)") +
                  "Fertig: 1 Datei umgewandelt, 1 fehlgeschlagen, "));
    EXPECT_EQ(FilesBelow(out_dir_), (Files{"Z.rtf", "a"}));
    EXPECT_EQ(ReadFile(out_dir_ / "a"), "a file where the folder a belongs");
}

TEST(NamePattern, StarsQuestionMarksAndCase) {
    const std::tuple<std::u16string, std::u16string, bool> cases[] = {
        {u"*.TXT", u"brief.txt", true},
        {u"*", u"", true},
        {u"B*F*.*", u"BRIEF.DOC.TXT", true},
        {u"??.doc", u"ab.DOC", true},
        {u"??.doc", u"abc.doc", false},
        {u"?.doc", u".doc", false},
        {u"*.txt", u"brief.txt.bak", false},
        {u"*a*a*a*b", u"aaaaaaaaaaaaaaaaaaaab", true},
        {u"*a*a*a*b", u"aaaaaaaaaaaaaaaaaaaaa", false},
        {u"\u00c4rger*", u"\u00e4rger.txt", true},  // Ä and ä
        {u"brief", u"brief.txt", false},
    };
    for (const auto& [pattern, name, matches] : cases)
        EXPECT_EQ(MatchesNamePattern(pattern, name), matches) << Utf16ToUtf8(pattern + u" " + name);
    // The walk's test of earlier outputs tells what the pattern of star and ending would.
    for (const std::u16string ending : {u".rtf", u".report.txt", u"\u00c4.TXT", u""}) {
        for (const std::u16string name : {u"a.RTF", u"rtf", u".rtf", u"a.rtf.bak", u"x.report.txt",
                                          u"x.Report.TXT", u"report.txt", u"\u00e4.txt", u""}) {
            EXPECT_EQ(EndsWithName(name, ending), MatchesNamePattern(u"*" + ending, name))
                << Utf16ToUtf8(ending + u" " + name);
        }
    }
}

// All a run gives (its output files with their bytes, standard output, and standard error up
// to the summary, whose time differs) is the same for any number of workers. Reports without
// -d go to standard output, the other forms to files.
TEST_F(RecursiveTest, AnyNumberOfWorkersGivesTheResultOfOne) {
    // Documents of many sizes and attributes, every eleventh one refused as empty.
    for (int i = 0; i < 120; ++i) {
        std::string document;
        for (int line = 0; line < 1 + (i * 37) % 400 && i % 11 != 5; ++line) {
            document += "Zeile " + std::to_string(line) + " von \x84\x94\x81 " + std::to_string(i) +
                        "\x8d\n  \x1bS" + static_cast<char>(1 + line % 0x7f) + "x \x1bS\x01y\r\n";
        }
        WriteFile(folder_ / "in" / ("teil" + std::to_string(i % 7)) /
                      ("DOK" + std::to_string(1000 + i) + ".TXT"),
                  document);
    }
    const auto result = [&](const fs::path& out) {
        const std::size_t summary =
            err_.rfind("Fertig: 109 Dateien umgewandelt, 11 fehlgeschlagen, ");
        EXPECT_NE(summary, std::string::npos) << err_;
        std::string all = out_ + "\n" + err_.substr(0, summary);
        // The -v lines name each run's own output folder.
        for (std::size_t at; (at = all.find(out.string())) != std::string::npos;)
            all.replace(at, out.string().size(), "OUT");
        for (const std::string& name : FilesBelow(out))
            all += "\n" + name + "\n" + ReadFile(out / name);
        return all;
    };
    for (const std::string format : {"rtf", "text", "html", "report"}) {
        std::string serial;
        for (const std::string jobs : {"1", "2", "4", "16"}) {
            SCOPED_TRACE(format + " -j " + jobs);
            const fs::path out = folder_ / (format + "-" + jobs);
            std::vector<fs::path> arguments = {"-r", "-v", "--to", format, "-j", jobs};
            if (format != "report") arguments.insert(arguments.end(), {"-d", out});
            arguments.push_back(folder_ / "in");
            ASSERT_EQ(Run(arguments), 1);
            if (jobs == "1") {
                serial = result(out);
                EXPECT_EQ(FilesBelow(out).size(), format == "report" ? 0u : 109u);
            } else {
                EXPECT_TRUE(result(out) == serial);  // not printed: too long to read
            }
        }
    }
}

TEST(ProgressTexts, LineAndSummary) {
    EXPECT_EQ(ProgressLineText(0, 10, 0, 0.5), "0 von 10 Dateien  0,0 MB");
    EXPECT_EQ(ProgressLineText(4, 10, 3 * 1048576 + 104858, 2.0),
              "4 von 10 Dateien  3,1 MB  1,6 MB/s  noch 0:03");
    EXPECT_EQ(ProgressLineText(1, 1000, 1048576, 1.0),
              "1 von 1000 Dateien  1,0 MB  1,0 MB/s  noch 16:39");
    EXPECT_EQ(SummaryLineText(1, 0, 0, 0.04),
              "Fertig: 1 Datei umgewandelt, 0 fehlgeschlagen, 0 uebergangen, 0,0 s");
    EXPECT_EQ(SummaryLineText(9998, 2, 6, 59.96),
              "Fertig: 9998 Dateien umgewandelt, 2 fehlgeschlagen, 6 uebergangen, 1:00 min");
    EXPECT_EQ(SummaryLineText(3, 1, 0, 75.4),
              "Fertig: 3 Dateien umgewandelt, 1 fehlgeschlagen, 0 uebergangen, 1:15 min");
}

#ifndef _WIN32
// Links to folders are not followed: not out of the tree, not round in a cycle. A link to a
// file in the tree is; broken links, links out of the tree (also into a folder whose name
// begins like the tree's) and pipes are passed over.
TEST_F(RecursiveTest, LinksAndPipesInTheTree) {
    WriteFile(folder_ / "draussen" / "FREMD.TXT", "fremd\r\n\x1a");
    // A folder beside the tree whose name starts with the tree's is still outside it.
    WriteFile(folder_ / "archiv2" / "NEBEN.TXT", "neben\r\n\x1a");
    fs::create_symlink(folder_ / "archiv2" / "NEBEN.TXT", archive_ / "NEBEN.TXT");
    fs::create_directory_symlink(archive_, archive_ / "a" / "zurueck");
    fs::create_directory_symlink(archive_ / "a", archive_ / "schleife");
    fs::create_directory_symlink(folder_ / "draussen", archive_ / "fremd");
    fs::create_symlink(folder_ / "draussen" / "FREMD.TXT", archive_ / "FREMD.TXT");
    fs::create_symlink(archive_ / "a" / "b" / "TIEF.TXT", archive_ / "KURZ.TXT");
    fs::create_symlink(archive_ / "nirgends", archive_ / "KAPUTT.TXT");
    ASSERT_EQ(::mkfifo((archive_ / "ROHR.TXT").c_str(), 0600), 0);

    ASSERT_EQ(Run({"-r", "-d", out_dir_, archive_}), 0) << err_;
    EXPECT_EQ(FilesBelow(out_dir_),
              (Files{"BRIEF.rtf", "KURZ.rtf", "Z.rtf", "a/NOTIZ.rtf", "a/b/TIEF.rtf"}));
    EXPECT_EQ(ReadFile(out_dir_ / "KURZ.rtf"), RtfOf(archive_ / "a" / "b" / "TIEF.TXT"));

    // The folder given may itself be a link; it is followed, since it was named.
    fs::create_directory_symlink(archive_ / "a", folder_ / "verweis");
    ASSERT_EQ(Run({"-r", "-d", folder_ / "out2", folder_ / "verweis"}), 0);
    EXPECT_EQ(FilesBelow(folder_ / "out2"), (Files{"NOTIZ.rtf", "b/TIEF.rtf"}));
}
#endif

}  // namespace
}  // namespace brevikon
