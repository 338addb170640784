// -r: folders walked in name order, the tree mirrored under -d or outputs beside their
// inputs, --match, outputs of earlier runs passed over, links, and targets that would collide.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/name_pattern.h"
#include "cli_fixture.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace brevikon {
namespace {

namespace fs = std::filesystem;
using test::Native;
using test::ReadFile;
using test::WriteFile;

// Documents that differ, so that a file landing in the wrong place shows.
std::string Document(const std::string& text) {
    return text + "\r\n\x1a";
}

// An output path as the converter spells it: the -d folder as given, then '/', then the
// path below it in the system's own form.
std::string OutputPath(const fs::path& outputDir, const fs::path& below) {
    return outputDir.string() + "/" + below.string();
}

class RecursiveTest : public test::CliFixture {
  protected:
    void SetUp() override {
        CliFixture::SetUp();
        archive_ = folder_ / "archiv";
        fs::create_directories(archive_ / "a" / "b");
        fs::create_directories(archive_ / "leer");
        WriteFile(archive_ / "BRIEF.TXT", Document("Brief"));
        WriteFile(archive_ / "BRIEF.rtf", "output of an earlier run");
        WriteFile(archive_ / "Z.txt", Document("Zett"));
        WriteFile(archive_ / "a" / "NOTIZ.DOC", Document("Notiz"));
        WriteFile(archive_ / "a" / "alt.RTF", "an earlier output, in capitals");
        WriteFile(archive_ / "a" / "b" / "TIEF.TXT", Document("Tief"));
    }

    // The RTF of a file, through -o -.
    std::string RtfOf(const fs::path& file) {
        EXPECT_EQ(Run({Native("-o"), Native("-"), Native(file)}), 0) << err_;
        return out_;
    }

    fs::path archive_;
};

TEST_F(RecursiveTest, TreeIsMirroredUnderTheOutputFolder) {
    const fs::path out = folder_ / "out";
    ASSERT_EQ(Run({Native("-r"), Native("-d"), Native(out), Native(archive_)}), 0) << err_;
    EXPECT_EQ(err_.rfind("Fertig: 4 Dateien umgewandelt, 0 fehlgeschlagen, ", 0), 0u) << err_;
    EXPECT_EQ(FilesBelow(out),
              (std::vector<std::string>{"BRIEF.rtf", "Z.rtf", "a/NOTIZ.rtf", "a/b/TIEF.rtf"}));
    EXPECT_EQ(ReadFile(out / "a" / "b" / "TIEF.rtf"), RtfOf(archive_ / "a" / "b" / "TIEF.TXT"));
    EXPECT_EQ(ReadFile(out / "a" / "NOTIZ.rtf"), RtfOf(archive_ / "a" / "NOTIZ.DOC"));
    EXPECT_EQ(ReadFile(out / "BRIEF.rtf"), RtfOf(archive_ / "BRIEF.TXT"));
    EXPECT_FALSE(fs::exists(out / "leer"));  // nothing to write, no folder
}

TEST_F(RecursiveTest, OutputsLandBesideTheirInputsAndASecondRunTakesNoOutput) {
    ASSERT_EQ(Run({Native("--recursive"), Native(archive_)}), 0) << err_;
    const std::vector<std::string> expected = {"BRIEF.TXT", "BRIEF.rtf",    "Z.rtf",
                                               "Z.txt",     "a/NOTIZ.DOC",  "a/NOTIZ.rtf",
                                               "a/alt.RTF", "a/b/TIEF.TXT", "a/b/TIEF.rtf"};
    EXPECT_EQ(FilesBelow(archive_), expected);
    EXPECT_EQ(ReadFile(archive_ / "BRIEF.rtf"), RtfOf(archive_ / "BRIEF.TXT"));
    EXPECT_EQ(ReadFile(archive_ / "a" / "alt.RTF"), "an earlier output, in capitals");

    // Again: only the four documents are read, not the outputs of the first run.
    ASSERT_EQ(Run({Native("-r"), Native(archive_)}), 0) << err_;
    EXPECT_EQ(err_.rfind("Fertig: 4 Dateien", 0), 0u) << err_;

    // The same for the text form, whose outputs match the documents' *.txt.
    const std::vector<NativeString> text = {Native("-r"),      Native("--to"),  Native("text"),
                                            Native("--match"), Native("*.txt"), Native("--match"),
                                            Native("*.doc"),   Native(archive_)};
    ASSERT_EQ(Run(text), 0) << err_;
    ASSERT_EQ(Run(text), 0) << err_;
    EXPECT_EQ(err_.rfind("Fertig: 4 Dateien", 0), 0u) << err_;
    EXPECT_TRUE(fs::exists(archive_ / "a" / "b" / "TIEF.utf8.txt"));
    EXPECT_FALSE(fs::exists(archive_ / "BRIEF.utf8.utf8.txt"));

    // Only outputs left to take: nothing to do, and nothing to tell.
    ASSERT_EQ(Run({Native("-r"), Native("--to"), Native("html"), Native("--match"),
                   Native("*.HTML"), Native(archive_)}),
              0);
    ASSERT_EQ(Run({Native("-r"), Native("--to"), Native("text"), Native("--match"),
                   Native("*.utf8.txt"), Native(archive_)}),
              0);
    EXPECT_EQ(err_, "");
}

TEST_F(RecursiveTest, MatchLimitsTheNamesTaken) {
    const fs::path out = folder_ / "out";
    ASSERT_EQ(
        Run({Native("-r"), Native("--match=*.txt"), Native("-d"), Native(out), Native(archive_)}),
        0);
    EXPECT_EQ(FilesBelow(out), (std::vector<std::string>{"BRIEF.rtf", "Z.rtf", "a/b/TIEF.rtf"}));
    fs::remove_all(out);
    // Several patterns: a name is taken when one of them fits.
    ASSERT_EQ(Run({Native("-r"), Native("--match"), Native("n?tiz.*"), Native("--match"),
                   Native("Z*"), Native("-d"), Native(out), Native(archive_)}),
              0);
    EXPECT_EQ(FilesBelow(out), (std::vector<std::string>{"Z.rtf", "a/NOTIZ.rtf"}));
}

TEST(NamePattern, StarsQuestionMarksAndCase) {
    EXPECT_TRUE(MatchesNamePattern(u"*.TXT", u"brief.txt"));
    EXPECT_TRUE(MatchesNamePattern(u"*", u""));
    EXPECT_TRUE(MatchesNamePattern(u"B*F*.*", u"BRIEF.DOC.TXT"));
    EXPECT_TRUE(MatchesNamePattern(u"??.doc", u"ab.DOC"));
    EXPECT_FALSE(MatchesNamePattern(u"??.doc", u"abc.doc"));
    EXPECT_FALSE(MatchesNamePattern(u"*.txt", u"brief.txt.bak"));
    EXPECT_TRUE(MatchesNamePattern(u"*a*a*a*b", u"aaaaaaaaaaaaaaaaaaaab"));
    EXPECT_FALSE(MatchesNamePattern(u"*a*a*a*b", u"aaaaaaaaaaaaaaaaaaaaa"));
    EXPECT_TRUE(MatchesNamePattern(u"\u00c4rger*", u"\u00e4rger.txt"));  // Ä and ä
    EXPECT_FALSE(MatchesNamePattern(u"brief", u"brief.txt"));
}

TEST_F(RecursiveTest, FailuresAreReportedInTheOrderOfTheWalk) {
    WriteFile(archive_ / "a" / "LEER.TXT", "");
    WriteFile(archive_ / "0-leer.txt", "");
    const int code = Run({Native("-r"), Native("-v"), Native("-j"), Native("4"), Native(archive_)});
    EXPECT_EQ(code, 1);
    const std::vector<std::string> lines = Lines(err_);
    ASSERT_EQ(lines.size(), 7u) << err_;
    const std::string prefix = "brevikon-rtf: ";
    EXPECT_EQ(lines[0], prefix + (archive_ / "0-leer.txt").string() + ": Die Datei ist leer.");
    EXPECT_EQ(lines[1].rfind("BRIEF.TXT   (", 0), 0u);
    EXPECT_EQ(lines[2].rfind("Z.txt   (", 0), 0u);
    EXPECT_EQ(lines[3], prefix + (archive_ / "a" / "LEER.TXT").string() + ": Die Datei ist leer.");
    EXPECT_EQ(lines[4].rfind("NOTIZ.DOC   (", 0), 0u);
    EXPECT_EQ(lines[5].rfind("TIEF.TXT   (", 0), 0u);
    EXPECT_EQ(lines[6].rfind("Fertig: 4 Dateien umgewandelt, 2 fehlgeschlagen, ", 0), 0u);
}

TEST_F(RecursiveTest, FolderWithoutRecursiveIsStillRefused) {
    EXPECT_EQ(Run({Native(archive_)}), 1);
    EXPECT_EQ(err_, "brevikon-rtf: " + archive_.string() + ": Das ist ein Ordner, keine Datei.\n");
}

TEST_F(RecursiveTest, OutputFolderInsideTheTreeIsNotWalked) {
    fs::remove(archive_ / "BRIEF.rtf");
    fs::remove(archive_ / "a" / "alt.RTF");
    const fs::path out = archive_ / "out";
    ASSERT_EQ(Run({Native("-r"), Native("--to=html"), Native("-d"), Native(out), Native(archive_)}),
              0);
    EXPECT_TRUE(fs::exists(out / "a" / "b" / "TIEF.html"));
    // A text run into the same folder would otherwise take the HTML pages for documents.
    ASSERT_EQ(Run({Native("-r"), Native("--to=text"), Native("-d"), Native(out), Native(archive_)}),
              0);
    EXPECT_EQ(err_.rfind("Fertig: 4 Dateien", 0), 0u) << err_;
    EXPECT_FALSE(fs::exists(out / "out"));
}

TEST_F(RecursiveTest, MirroredFolderThatCannotBeMadeIsAWriteFailure) {
    const fs::path out = folder_ / "out";
    fs::create_directories(out);
    WriteFile(out / "a", "a file where the folder a belongs");
    EXPECT_EQ(Run({Native("-r"), Native("-d"), Native(out), Native(archive_)}), 1);
    EXPECT_NE(err_.find("brevikon-rtf: " + (archive_ / "a" / "NOTIZ.DOC").string() +
                        ": Die Datei konnte nicht geschrieben werden: " +
                        OutputPath(out, fs::path("a") / "NOTIZ.rtf")),
              std::string::npos)
        << err_;
    EXPECT_TRUE(fs::exists(out / "BRIEF.rtf"));
    EXPECT_EQ(ReadFile(out / "a"), "a file where the folder a belongs");
}

TEST_F(RecursiveTest, NoTargetReplacesAnotherInputOrAnotherOutput) {
    // Two documents of one name from two folders into one -d: the first one's output stays.
    const fs::path out = folder_ / "out";
    fs::create_directories(folder_ / "x");
    fs::create_directories(folder_ / "y");
    WriteFile(folder_ / "x" / "A.TXT", Document("aus x"));
    WriteFile(folder_ / "y" / "A.TXT", Document("aus y"));
    EXPECT_EQ(Run({Native("-d"), Native(out), Native("-j"), Native("2"),
                   Native(folder_ / "x" / "A.TXT"), Native(folder_ / "y" / "A.TXT")}),
              1);
    EXPECT_EQ(err_, "brevikon-rtf: " + (folder_ / "y" / "A.TXT").string() +
                        ": Die Ausgabedatei entsteht in diesem Lauf schon aus " +
                        (folder_ / "x" / "A.TXT").string() + ": " + OutputPath(out, "A.rtf") +
                        "\n");
    EXPECT_EQ(ReadFile(out / "A.rtf"), RtfOf(folder_ / "x" / "A.TXT"));

    // A.TXT's output would be the document A.rtf, also given: both are refused, A.rtf kept.
    WriteFile(folder_ / "y" / "A.rtf", Document("ein Dokument"));
    EXPECT_EQ(Run({Native(folder_ / "y" / "A.TXT"), Native(folder_ / "y" / "A.rtf")}), 1);
    EXPECT_EQ(Lines(err_).size(), 2u) << err_;
    EXPECT_NE(err_.find("A.TXT: Die Eingabedatei kann nicht ueberschrieben werden: "),
              std::string::npos);
    EXPECT_EQ(ReadFile(folder_ / "y" / "A.rtf"), Document("ein Dokument"));

    // The same document twice is no conflict.
    EXPECT_EQ(Run({Native(folder_ / "x" / "A.TXT"), Native(folder_ / "x" / "A.TXT")}), 0);
}

#ifndef _WIN32
TEST_F(RecursiveTest, LinksAreNotFollowedOutOfTheTreeAndCyclesDoNotLoop) {
    fs::create_directories(folder_ / "draussen");
    WriteFile(folder_ / "draussen" / "FREMD.TXT", Document("fremd"));
    fs::create_directory_symlink(archive_, archive_ / "a" / "zurueck");      // a cycle
    fs::create_directory_symlink(archive_ / "a", archive_ / "schleife");     // within the tree
    fs::create_directory_symlink(folder_ / "draussen", archive_ / "fremd");  // out of it
    fs::create_symlink(folder_ / "draussen" / "FREMD.TXT", archive_ / "FREMD.TXT");
    fs::create_symlink(archive_ / "a" / "b" / "TIEF.TXT", archive_ / "KURZ.TXT");
    fs::create_symlink(archive_ / "nirgends", archive_ / "KAPUTT.TXT");

    const fs::path out = folder_ / "out";
    ASSERT_EQ(Run({Native("-r"), Native("-d"), Native(out), Native(archive_)}), 0) << err_;
    EXPECT_EQ(FilesBelow(out), (std::vector<std::string>{"BRIEF.rtf", "KURZ.rtf", "Z.rtf",
                                                         "a/NOTIZ.rtf", "a/b/TIEF.rtf"}));
    EXPECT_EQ(ReadFile(out / "KURZ.rtf"), RtfOf(archive_ / "a" / "b" / "TIEF.TXT"));

    // The folder given may itself be a link; it is followed, since it was named.
    const fs::path named = folder_ / "verweis";
    fs::create_directory_symlink(archive_ / "a", named);
    ASSERT_EQ(Run({Native("-r"), Native("-d"), Native(folder_ / "out2"), Native(named)}), 0);
    EXPECT_EQ(FilesBelow(folder_ / "out2"), (std::vector<std::string>{"NOTIZ.rtf", "b/TIEF.rtf"}));
}

TEST_F(RecursiveTest, DevicesAndPipesInTheTreeArePassedOver) {
    ASSERT_EQ(::mkfifo((archive_ / "ROHR.TXT").c_str(), 0600), 0);
    const fs::path out = folder_ / "out";
    ASSERT_EQ(Run({Native("-r"), Native("-d"), Native(out), Native(archive_)}), 0) << err_;
    EXPECT_FALSE(fs::exists(out / "ROHR.rtf"));
}
#endif

}  // namespace
}  // namespace brevikon
