// Splitting the command line and taking the first dropped name.
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "fake_platform.h"

namespace brevikon::test {
namespace {

using Words = std::vector<std::u16string>;

TEST(CommandLineTest, ProgramNameIsNotCounted) {
    EXPECT_EQ(CommandLineArguments(u"brevikon.exe"), Words{});
    EXPECT_EQ(CommandLineArguments(u"\"C:\\Program Files\\brevikon.exe\""), Words{});
    EXPECT_EQ(CommandLineArguments(u""), Words{});
    EXPECT_EQ(CommandLineArguments(u"\"C:\\Program Files\\b.exe\" a.doc"), Words{u"a.doc"});
}

TEST(CommandLineTest, SplitsAtBlanksOutsideQuotesAndRemovesTheQuotes) {
    EXPECT_EQ(CommandLineArguments(u"b.exe a.doc  b.doc "), (Words{u"a.doc", u"b.doc"}));
    EXPECT_EQ(CommandLineArguments(u"b.exe \"C:\\Eigene Texte\\a b.doc\" x"),
              (Words{u"C:\\Eigene Texte\\a b.doc", u"x"}));
    // Quotes in the middle of a word only protect the blanks between them.
    EXPECT_EQ(CommandLineArguments(u"b.exe C:\\\"Eigene Texte\"\\a.doc"),
              (Words{u"C:\\Eigene Texte\\a.doc"}));
    // An empty quoted argument is still an argument, which opens nothing.
    EXPECT_EQ(CommandLineArguments(u"b.exe \"\" a.doc"), (Words{u"", u"a.doc"}));
    // An unclosed quote runs to the end.
    EXPECT_EQ(CommandLineArguments(u"b.exe \"a b"), (Words{u"a b"}));
}

TEST(CommandLineTest, FirstDroppedNameIsTheTextUpToTheFirstLineFeed) {
    EXPECT_EQ(FirstDroppedName(u"C:\\a.doc\nC:\\b.doc"), u"C:\\a.doc");
    EXPECT_EQ(FirstDroppedName(u"C:\\a.doc"), u"C:\\a.doc");
    EXPECT_EQ(FirstDroppedName(u"\nC:\\b.doc"), u"");
    EXPECT_EQ(FirstDroppedName(u""), u"");
}

}  // namespace
}  // namespace brevikon::test
