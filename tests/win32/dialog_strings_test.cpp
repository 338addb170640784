// The filter list and the start of the file dialogs.
#include <gtest/gtest.h>

#include <string>

#include "app/platform/win32/dialog_strings.h"

namespace brevikon {
namespace {

using namespace std::string_literals;

TEST(FilterPairs, BarsBecomeNulsAndTheListEndsWithTwo) {
    EXPECT_EQ(FilterPairs(u"A|*.a|B|*.b"), L"A\0*.a\0B\0*.b\0\0"s);
    EXPECT_EQ(FilterPairs(u"Alle Dateien (*.*)|*.*|Textdateien (*.txt;*.doc)|*.txt;*.doc"),
              L"Alle Dateien (*.*)\0*.*\0Textdateien (*.txt;*.doc)\0*.txt;*.doc\0\0"s);
}

TEST(FilterPairs, IncompleteOrEmptyPairsAreLeftOut) {
    EXPECT_EQ(FilterPairs(u""), L""s);
    EXPECT_EQ(FilterPairs(u"A"), L""s);
    EXPECT_EQ(FilterPairs(u"A|*.a|B"), L"A\0*.a\0\0"s);
    // An empty pattern would end the list early and hide B.
    EXPECT_EQ(FilterPairs(u"A||B|*.b"), L"B\0*.b\0\0"s);
}

TEST(SplitDefaultPath, AtTheLastBackslash) {
    DialogStart start = SplitDefaultPath(u"C:\\Texte\\BRIEF.TXT");
    EXPECT_EQ(start.directory, L"C:\\Texte\\");
    EXPECT_EQ(start.fileName, L"BRIEF.TXT");

    start = SplitDefaultPath(u"C:\\BRIEF.rtf");
    EXPECT_EQ(start.directory, L"C:\\") << "the root, not the drive's current folder";
    EXPECT_EQ(start.fileName, L"BRIEF.rtf");

    start = SplitDefaultPath(u"\\\\server\\texte\\a b.doc");
    EXPECT_EQ(start.directory, L"\\\\server\\texte\\");
    EXPECT_EQ(start.fileName, L"a b.doc");

    start = SplitDefaultPath(u"C:\\Texte\\");
    EXPECT_EQ(start.directory, L"C:\\Texte\\");
    EXPECT_EQ(start.fileName, L"");
}

TEST(SplitDefaultPath, WithoutBackslashAllIsTheFileName) {
    DialogStart start = SplitDefaultPath(u"brief.rtf");
    EXPECT_EQ(start.directory, L"");
    EXPECT_EQ(start.fileName, L"brief.rtf");

    // Only '\' splits, as the dialog reads it.
    start = SplitDefaultPath(u"C:/Texte/brief.rtf");
    EXPECT_EQ(start.directory, L"");
    EXPECT_EQ(start.fileName, L"C:/Texte/brief.rtf");

    start = SplitDefaultPath(u"");
    EXPECT_EQ(start.directory, L"");
    EXPECT_EQ(start.fileName, L"");
}

}  // namespace
}  // namespace brevikon
