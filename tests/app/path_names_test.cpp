// Directory, file name and extension of a path text.
#include <gtest/gtest.h>

#include "app/path_names.h"
#include "fake_platform.h"

namespace brevikon::test {
namespace {

using Case = std::pair<std::u16string, std::u16string>;

TEST(PathNamesTest, FileNameWithoutExtension) {
    const Case cases[] = {
        {u"a.b", u"a"},       {u"a.b.c", u"a.b"}, {u".profil", u".profil"}, {u"name.", u"name."},
        {u"a.b c", u"a.b c"}, {u"a b.c", u"a b"}, {u"C:\\x.d\\y", u"y"},    {u"\"C:\\a.b\"", u"a"},
        {u"\"a.b\"", u"a"},   {u"x.", u"x."},     {u"..", u".."},           {u"", u""},
    };
    for (const auto& [path, name] : cases) {
        EXPECT_EQ(FileNamePart(path, true), name) << Narrow(path);
    }
}

TEST(PathNamesTest, FileNameWithExtension) {
    const Case cases[] = {
        {u"C:\\Texte\\BRIEF.TXT", u"BRIEF.TXT"},
        {u"C:/Texte/brief", u"brief"},
        {u"C:\\Texte\\", u""},
        {u"\"C:\\a b\\c.doc\" rest", u"c.doc"},
        {u"brief.doc", u"brief.doc"},
    };
    for (const auto& [path, name] : cases) {
        EXPECT_EQ(FileNamePart(path, false), name) << Narrow(path);
    }
}

TEST(PathNamesTest, DirectoryPart) {
    const Case cases[] = {
        {u"C:\\Texte\\BRIEF.TXT", u"C:\\Texte\\"},
        {u"brief.doc", u""},
        {u"a|b\\c", u""},  // the '|' ends the search first
        {u"C:/a/b\\c", u"C:/a/b\\"},
        {u"\"C:\\a\\b\"", u"C:\\a\\"},
        {u"C:\\a\\|b\\c", u"C:\\a\\"},
    };
    for (const auto& [path, directory] : cases) {
        EXPECT_EQ(DirectoryPart(path), directory) << Narrow(path);
    }
}

TEST(PathNamesTest, ExtensionPart) {
    const Case cases[] = {
        {u"x.RTF", u"RTF"},
        {u"C:\\out.d\\x", u""},
        {u"C:\\out\\.rtf", u""},
        {u"brief.", u""},
        {u"a b.c", u"c"},
        {u"a.b c", u""},
        {u".rtf", u""},
        {u"a.b.c", u"c"},
        {u"\"C:\\a.doc\"", u"doc"},
        {u"C:/out/.rtf", u""},
        {u"", u""},
        {u"noext", u""},
    };
    for (const auto& [path, extension] : cases) {
        EXPECT_EQ(ExtensionPart(path), extension) << Narrow(path);
    }
}

TEST(PathNamesTest, JoinedIntoTheDefaultSaveName) {
    const Case cases[] = {
        {u"C:\\Texte\\BRIEF.TXT", u"C:\\Texte\\BRIEF.rtf"},
        {u"C:\\Texte\\.profil", u"C:\\Texte\\.profil.rtf"},
        {u"C:\\Texte\\name.", u"C:\\Texte\\name..rtf"},
        {u"brief.doc", u"brief.rtf"},
    };
    for (const auto& [path, joined] : cases) {
        EXPECT_EQ(DirectoryPart(path) + FileNamePart(path, true) + u".rtf", joined) << Narrow(path);
    }
}

TEST(PathNamesTest, ControlCharactersDoNotStopTheScans) {
    EXPECT_EQ(FileNamePart(std::u16string(u"a\tb.c"), true), u"a\tb");
    EXPECT_EQ(ExtensionPart(std::u16string(u"a.b\x01")), u"b\x01");
}

TEST(PathNamesTest, NarrowPathsSplitTheSameWay) {
    EXPECT_EQ(DirectoryPart(std::string("/home/u/BRIEF.TXT")), "/home/u/");
    EXPECT_EQ(FileNamePart(std::string("/home/u/BRIEF.TXT"), true), "BRIEF");
    EXPECT_EQ(ExtensionPart(std::string("/home/u/BRIEF.TXT")), "TXT");
}

}  // namespace
}  // namespace brevikon::test
