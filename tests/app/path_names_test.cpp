// Directory, file name and extension of a path text, and the arguments of a command line.
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "document/path_names.h"
#include "fake_platform.h"

namespace brevikon::test {
namespace {

TEST(PathNamesTest, DirectoryNameStemAndExtension) {
    const struct {
        std::u16string path, directory, name, stem, extension;
    } cases[] = {
        {u"C:\\Texte\\BRIEF.TXT", u"C:\\Texte\\", u"BRIEF.TXT", u"BRIEF", u"TXT"},
        {u"C:/a.b/c", u"C:/a.b/", u"c", u"c", u""},
        {u"C:/a/b\\c.d", u"C:/a/b\\", u"c.d", u"c", u"d"},
        {u"C:\\Texte\\", u"C:\\Texte\\", u"", u"", u""},
        // A leading dot starts no extension, and neither does one after a separator.
        {u".profil", u"", u".profil", u".profil", u""},
        {u"C:\\out\\.rtf", u"C:\\out\\", u".rtf", u".rtf", u""},
        {u"name.", u"", u"name.", u"name.", u""},
        {u"..", u"", u"..", u"..", u""},
        {u"a.b.c", u"", u"a.b.c", u"a.b", u"c"},
        // A blank ends the search for the dot.
        {u"a.b c", u"", u"a.b c", u"a.b c", u""},
        {u"a b.c", u"", u"a b.c", u"a b", u"c"},
        // Quotes are dropped; the directory search stops at a '|'.
        {u"\"a.b\"", u"", u"a.b", u"a", u"b"},
        {u"\"C:\\a b\\c.doc\" rest", u"C:\\a b\\", u"c.doc", u"c", u""},
        {u"a|b\\c", u"", u"c", u"c", u""},
        {u"C:\\a\\|b\\c", u"C:\\a\\", u"c", u"c", u""},
        // Control characters do not stop the scans.
        {u"a\tb.c\x01", u"", u"a\tb.c\x01", u"a\tb", u"c\x01"},
        {u"noext", u"", u"noext", u"noext", u""},
        {u"", u"", u"", u"", u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.path));
        EXPECT_EQ(DirectoryPart(c.path), c.directory);
        EXPECT_EQ(FileNamePart(c.path, false), c.name);
        EXPECT_EQ(FileNamePart(c.path, true), c.stem);
        EXPECT_EQ(ExtensionPart(c.path), c.extension);
    }
}

TEST(PathNamesTest, NarrowPathsSplitTheSameWay) {
    EXPECT_EQ(DirectoryPart(std::string("/home/u/BRIEF.TXT")), "/home/u/");
    EXPECT_EQ(FileNamePart(std::string("/home/u/BRIEF.TXT"), true), "BRIEF");
    EXPECT_EQ(ExtensionPart(std::string("/home/u/BRIEF.TXT")), "TXT");
}

// The program's own name is not counted; blanks outside quotes split, and quotes go.
TEST(CommandLineTest, ArgumentsAfterTheProgramName) {
    using Words = std::vector<std::u16string>;
    const std::pair<std::u16string, Words> cases[] = {
        {u"brevikon.exe", {}},
        {u"\"C:\\Program Files\\brevikon.exe\"", {}},
        {u"", {}},
        {u"\"C:\\Program Files\\b.exe\" a.doc", {u"a.doc"}},
        {u"b.exe a.doc  b.doc ", {u"a.doc", u"b.doc"}},
        {u"b.exe \"C:\\Eigene Texte\\a b.doc\" x", {u"C:\\Eigene Texte\\a b.doc", u"x"}},
        // Quotes in the middle of a word only protect the blanks between them.
        {u"b.exe C:\\\"Eigene Texte\"\\a.doc", {u"C:\\Eigene Texte\\a.doc"}},
        // An empty quoted argument is still an argument, which opens nothing.
        {u"b.exe \"\" a.doc", {u"", u"a.doc"}},
        {u"b.exe \"a b", {u"a b"}},  // an unclosed quote runs to the end
    };
    for (const auto& [line, words] : cases)
        EXPECT_EQ(CommandLineArguments(line), words) << Narrow(line);
}

}  // namespace
}  // namespace brevikon::test
