// The filter list and the start of the file dialogs.
#include <gtest/gtest.h>

#include <string>

#include "app/platform/win32/dialog_strings.h"

namespace brevikon {
namespace {

using namespace std::string_literals;

TEST(FilterPairs, BarsBecomeNulsAndIncompleteOrEmptyPairsAreLeftOut) {
    const std::pair<std::u16string, std::wstring> cases[] = {
        {u"A|*.a|B|*.b", L"A\0*.a\0B\0*.b\0\0"s},
        {u"Alle Dateien (*.*)|*.*|Textdateien (*.txt;*.doc)|*.txt;*.doc",
         L"Alle Dateien (*.*)\0*.*\0Textdateien (*.txt;*.doc)\0*.txt;*.doc\0\0"s},
        {u"", L""s},
        {u"A", L""s},
        {u"A|*.a|B", L"A\0*.a\0\0"s},
        {u"A||B|*.b", L"B\0*.b\0\0"s},  // an empty pattern would end the list early, hiding B
    };
    for (const auto& [filter, pairs] : cases)
        EXPECT_EQ(FilterPairs(filter), pairs) << std::string(filter.begin(), filter.end());
}

// Only '\' splits, as the dialog reads it; the root keeps its backslash.
TEST(SplitDefaultPath, AtTheLastBackslashElseAllIsTheFileName) {
    const struct {
        std::u16string path;
        std::wstring directory, fileName;
    } cases[] = {
        {u"C:\\Texte\\BRIEF.TXT", L"C:\\Texte\\", L"BRIEF.TXT"},
        {u"C:\\BRIEF.rtf", L"C:\\", L"BRIEF.rtf"},
        {u"\\\\server\\texte\\a b.doc", L"\\\\server\\texte\\", L"a b.doc"},
        {u"C:\\Texte\\", L"C:\\Texte\\", L""},
        {u"brief.rtf", L"", L"brief.rtf"},
        {u"C:/Texte/brief.rtf", L"", L"C:/Texte/brief.rtf"},
        {u"", L"", L""},
    };
    for (const auto& c : cases) {
        const DialogStart start = SplitDefaultPath(c.path);
        EXPECT_EQ(start.directory, c.directory) << std::string(c.path.begin(), c.path.end());
        EXPECT_EQ(start.fileName, c.fileName) << std::string(c.path.begin(), c.path.end());
    }
}

}  // namespace
}  // namespace brevikon
