// Odd names, odd files, files the user may not touch and targets that are inputs: a clear
// result or a clear refusal, never a hang, never a lost file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "base/text.h"
#include "cli_fixture.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace brevikon {
namespace {

namespace fs = std::filesystem;
using test::Files;
using test::ReadFile;
using test::SmallDocument;
using test::WriteFile;

class HostileInputTest : public test::CliFixture {};

// Each refused file has its own line, in argument order; the rest is converted.
TEST_F(HostileInputTest, RefusedFilesAreReportedAndTheRestConverted) {
    const fs::path empty = WriteFile(folder_ / "empty.txt", ""), folder = folder_ / "folder.txt";
    // One byte over the limit, and exactly the limit; sparse files cost no disk.
    const fs::path huge = WriteFile(folder_ / "huge.txt", ""),
                   max = WriteFile(folder_ / "max.txt", "");
    fs::resize_file(huge, 33554433);
    fs::resize_file(max, 33554432);
    fs::create_directories(folder);
    std::vector<fs::path> arguments = {folder_ / "missing.txt", empty, huge, folder};
    std::string expected =
        Failure(folder_ / "missing.txt", "Die Datei wurde nicht gefunden.") +
        Failure(empty, "Die Datei ist leer.") +
        Failure(huge, "Die Datei ist groesser als 32 MB und wird nicht geladen.") +
        Failure(folder, "Das ist ein Ordner, keine Datei. Ordner wandelt -r um.");
#ifndef _WIN32
    // Reading these would hang or never end.
    ASSERT_EQ(::mkfifo((folder_ / "pipe").c_str(), 0600), 0);
    fs::create_symlink(folder_ / "loop.txt", folder_ / "loop.txt");
    arguments.insert(arguments.end(), {folder_ / "pipe", "/dev/zero", folder_ / "loop.txt"});
    for (const fs::path& file : {folder_ / "pipe", fs::path("/dev/zero")})
        expected += Failure(file, "Das ist keine gewoehnliche Datei und wird nicht gelesen.");
    expected += Failure(folder_ / "loop.txt",
                        "Die Datei konnte nicht geoeffnet werden: Verknuepfung im Kreis");
#endif
    arguments.push_back(max);
    EXPECT_EQ(Run(arguments), 1);
    EXPECT_EQ(err_, expected);
    EXPECT_EQ(FilesBelow(folder_), (Files{"empty.txt", "huge.txt", "max.rtf", "max.txt"}));
}

TEST_F(HostileInputTest, OddNamesFollowTheDefaultNamingRule) {
    const std::string longStem(240, 'n'), umlauts = "gr\xC3\xBC\xC3\x9F";
    const std::pair<std::string, std::string> names[] = {
        {"mein brief.txt", "mein brief.rtf"},
        {"{klammer}.doc", "{klammer}.rtf"},
        {umlauts + ".txt", umlauts + ".rtf"},
        {"a b.c d", "a b.c d.rtf"},  // a blank ends the extension search
        {longStem + ".txt", longStem + ".rtf"},
#ifndef _WIN32
        {"quote\"d.txt", "quote.rtf"},  // a double quote ends the file name
        {"back\\slash.txt", "back\\slash.rtf"},
#endif
    };
    const std::string rtf = RtfOf(WriteFile(folder_ / "ref", SmallDocument));
    fs::remove(folder_ / "ref");
    for (const auto& [input, output] : names) {
        EXPECT_EQ(Run({WriteFile(folder_ / fs::u8path(input), SmallDocument)}), 0)
            << input << ": " << err_;
        EXPECT_EQ(ReadFile(folder_ / fs::u8path(output)), rtf) << input;
    }
    // Only inputs and outputs are left: no temporary file.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()),
              2 * std::ssize(names));
}

// By its own default name, another spelling of its path or a link to it: the input stays.
// Of two inputs for one output, the first one writes it.
TEST_F(HostileInputTest, NoTargetReplacesAnInputOrAnotherOutput) {
    const fs::path x = folder_ / "x" / "A.TXT", y = folder_ / "y" / "A.TXT",
                   document = folder_ / "y" / "A.rtf",
                   spelled = folder_ / "x" / ".." / "y" / "A.rtf";
    WriteFile(x, "aus x\r\n\x1a");
    WriteFile(y, "aus y\r\n\x1a");
    WriteFile(document, SmallDocument);
    const auto kept = [&](const fs::path& input, const fs::path& target) {
        return Failure(input,
                       "Die Eingabedatei kann nicht ueberschrieben werden: " + target.string());
    };
    std::vector<std::pair<std::vector<fs::path>, std::string>> runs = {
        {{document}, kept(document, document)},
        {{"-o", spelled, document}, kept(document, spelled)},
        // A.TXT's output would be A.rtf, a document also given: both are refused.
        {{y, document}, kept(y, document) + kept(document, document)}};
#ifndef _WIN32
    fs::create_symlink(document, folder_ / "link.rtf");
    runs.push_back({{"-o", folder_ / "link.rtf", document}, kept(document, folder_ / "link.rtf")});
#endif
    for (const auto& [arguments, failures] : runs) {
        EXPECT_EQ(Run(arguments), 1);
        EXPECT_EQ(err_, failures);
        EXPECT_EQ(ReadFile(document), SmallDocument);
    }
    // Two documents of one name into one -d, with two workers; the same one twice, by another
    // spelling, is fine.
    const fs::path out = folder_ / "out";
    EXPECT_EQ(Run({"-d", out, "-j", "2", x, y, folder_ / "y" / ".." / "x" / "A.TXT"}), 1);
    EXPECT_EQ(err_, Failure(y, "Die Ausgabedatei entsteht in diesem Lauf schon aus " + x.string() +
                                   ": " + (out / "A.rtf").string()));
    EXPECT_EQ(ReadFile(out / "A.rtf"), RtfOf(x));
    // Two of one name in two folders, each written beside itself, are no collision.
    const fs::path p = WriteFile(folder_ / "p" / "B.TXT", "aus p\r\n\x1a"),
                   q = WriteFile(folder_ / "q" / "B.TXT", "aus q\r\n\x1a");
    EXPECT_EQ(Run({p, q}), 0) << err_;
    EXPECT_EQ(ReadFile(folder_ / "p" / "B.rtf"), RtfOf(p));
    EXPECT_EQ(ReadFile(folder_ / "q" / "B.rtf"), RtfOf(q));
    // An input that is not there, by another spelling, still keeps its name from an output;
    // so it does when both are named relative to the working folder.
    const fs::path c = WriteFile(folder_ / "C.TXT", "aus c\r\n\x1a");
    const fs::path spelledInput = folder_ / "." / "x" / ".." / "C.rtf";
    EXPECT_EQ(Run({c, spelledInput}), 1);
    EXPECT_EQ(err_, kept(c, folder_ / "C.rtf") + kept(spelledInput, spelledInput));
    const fs::path before = fs::current_path();
    fs::current_path(folder_);
    EXPECT_EQ(Run({"C.TXT", fs::path("x") / ".." / "C.rtf"}), 1);
    fs::current_path(before);
    EXPECT_TRUE(test::Holds(err_, Failure("C.TXT",
                                          "Die Eingabedatei kann nicht ueberschrieben "
                                          "werden: C.rtf")));
    EXPECT_FALSE(fs::exists(folder_ / "C.rtf"));
}

#ifndef _WIN32
// A write that fails at once (a full device) is reported; devices are written as they are, not
// replaced. A write that fails halfway is tried in a child process (ProcessLimitsTest).
TEST_F(HostileInputTest, DevicesAreWrittenInPlaceAndAFullOneIsReported) {
    const fs::path input = WriteFile(folder_ / "big.txt", std::string(20000, 'x'));
    EXPECT_EQ(Run({"-o", "/dev/null", input}), 0) << err_;
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_EQ(Run({"-o", "/dev/full", input}), 1);
    EXPECT_EQ(err_, NotWritten(input, "/dev/full", "Kein Platz mehr auf dem Datentraeger"));
    EXPECT_EQ(FilesBelow(folder_), Files{"big.txt"});
}
#endif

}  // namespace
}  // namespace brevikon
