// --to text: the document read by the converter's rules, written as UTF-8 lines.
#include <gtest/gtest.h>

#include <string>

#include "cli_fixture.h"
#include "format/char_table.h"
#include "text_export/convert_to_text.h"

namespace brevikon {
namespace {

using test::Native;
using test::ReadFile;
using test::WriteFile;

std::string Text(const std::string& document) {
    CharTable table{};
    BuildCharTable(table);
    ExportBuffer out;
    EXPECT_TRUE(TextExporter(table).Convert(reinterpret_cast<const std::uint8_t*>(document.data()),
                                            static_cast<std::int64_t>(document.size()), out));
    return std::string(out.content());
}

TEST(TextExport, ParagraphsAndLineFeeds) {
    EXPECT_EQ(Text("Hi\r\n\x1a"), "Hi\n");
    EXPECT_EQ(Text("A"), "A\n");              // no end marker: the text ends with the file
    EXPECT_EQ(Text("a\r\r"), "a\n\n");        // the second, empty paragraph stays
    EXPECT_EQ(Text("a\nb\n\rc"), "ab\nc\n");  // a lone 10 means nothing; 10 then 13 is one
    EXPECT_EQ(Text("\x1a"), "");              // only the end marker: no paragraph
    EXPECT_EQ(Text("ab\x1a"
                   "cd\r"),
              "ab\n");              // nothing after the end marker
    EXPECT_EQ(Text("\x7f"), "\n");  // 127 opens a paragraph but shows nothing
    EXPECT_EQ(Text("a\x01\x1b"
                   "b"),
              "ab\n");  // unknown control codes show nothing
}

TEST(TextExport, SoftBreaksAndSpaces) {
    // The soft break writes the only blank; the spaces after it are dropped.
    EXPECT_EQ(Text("x\x8d  y"), "x y\n");
    // Each space code is one blank: 32, 128 and 160.
    EXPECT_EQ(Text("a \x80\xa0"
                   "b"),
              "a   b\n");
    // A tab keeps the soft-break state: the space after it is still dropped.
    EXPECT_EQ(Text("\x8d\t "), " \t\n");
    // A control code clears it, so the space is written.
    EXPECT_EQ(Text("\x8d\x01 "), "  \n");
    // A line feed after the soft break (as the editor writes 141 10) changes nothing.
    EXPECT_EQ(Text("ein\x8d\n  Wort"), "ein Wort\n");
    // A hard break ends the soft-break state too.
    EXPECT_EQ(Text("a\x8d\r b"), "a \n b\n");
}

TEST(TextExport, PageBreaksCloseTheParagraphFirst) {
    EXPECT_EQ(Text("a\x0c"
                   "b"),
              "a\n\fb\n");
    EXPECT_EQ(Text("\x0c"
                   "b"),
              "\fb\n");                          // before any text: only the form feed
    EXPECT_EQ(Text("a\r\x0c\x0c"), "a\n\f\f");   // no paragraph open: no extra line end
    EXPECT_EQ(Text("a\x8d\x0c "), "a \n\f \n");  // the page break clears the soft break
}

TEST(TextExport, EscapesShowTheirCharacterWithoutAttributes) {
    EXPECT_EQ(Text("\x1bS\x01"
                   "a\x1bS\x02"
                   "b"),
              "ab\n");
    // Character bytes 13 and 26 are neither a break nor the end: they show nothing.
    EXPECT_EQ(Text("a\x1bS\x02\x0d"
                   "b\x1bS\x02\x1a"
                   "c"),
              "abc\n");
    // 160 in an escape is a character (a with acute), not a space.
    EXPECT_EQ(Text("\x1bS\x01\xa0"), "\xc3\xa1\n");
    // An escape clears the soft-break state, so the space after it is written.
    EXPECT_EQ(Text("a\x8d\x1bS\x01x y"), "a x y\n");
    // 27, 83, "x" at the end is no escape: the 27 shows nothing, S and x are characters.
    EXPECT_EQ(Text("\x1bSx"), "Sx\n");
}

TEST(TextExport, CodePage437BecomesUtf8) {
    // ä ö ü Ä Ö Ü ß, then degree, box drawing and the no-break space at 255.
    EXPECT_EQ(Text("\x84\x94\x81\x8e\x99\x9a\xe1"),
              "\xc3\xa4\xc3\xb6\xc3\xbc\xc3\x84\xc3\x96\xc3\x9c\xc3\x9f\n");
    EXPECT_EQ(Text("\xf8\xb3\xc4\xff"), "\xc2\xb0\xe2\x94\x82\xe2\x94\x80\xc2\xa0\n");
    // 141 is a soft break in the plain stream but i with grave in an escape.
    EXPECT_EQ(Text(std::string("\x1bS\x00\x8d", 4)), "\xc3\xac\n");
}

TEST(TextExport, TextStartsWhereTheConverterFindsIt) {
    // No zero in the search window and 300 bytes: the text begins at the fall-back 273.
    std::string document(273, 'J');
    document += "Hallo\r\n\x1a";
    document.resize(300, 'R');
    EXPECT_EQ(Text(document), "Hallo\n");
}

TEST(TextExport, EveryCharacterOfALongTextArrives) {
    // A zero at 200 puts the text at 281; long enough for many plain runs.
    std::string document(200, 'J');
    document += '\0';
    document.append(80, 'J');
    std::string expected;
    for (int line = 0; line < 5000; ++line) {
        document += "Zeile " + std::to_string(line) + " \x84\x8d\n \x94\r\n";
        expected += "Zeile " + std::to_string(line) + " \xc3\xa4 \xc3\xb6\n";
    }
    const std::string text = Text(document);
    EXPECT_EQ(text.size(), expected.size());
    EXPECT_TRUE(text == expected);  // not printed: too long to read
}

class TextFormatTest : public test::CliFixture {};

TEST_F(TextFormatTest, DefaultNameAndStatusLine) {
    WriteFile(folder_ / "BRIEF.TXT",
              "Gr\x81\xe1"
              "e\r\n\x1a");
    ASSERT_EQ(Run({Native("--to"), Native("text"), Native("-v"), Native(folder_ / "BRIEF.TXT")}), 0)
        << err_;
    EXPECT_EQ(ReadFile(folder_ / "BRIEF.utf8.txt"),
              "Gr\xc3\xbc\xc3\x9f"
              "e\n");
    EXPECT_EQ(err_, "BRIEF.TXT   (8 Bytes)   Text ab 0\n");
    // -o - gives the same text on standard output.
    ASSERT_EQ(Run({Native("--to=text"), Native("-o"), Native("-"), Native(folder_ / "BRIEF.TXT")}),
              0);
    EXPECT_EQ(out_,
              "Gr\xc3\xbc\xc3\x9f"
              "e\n");
}

}  // namespace
}  // namespace brevikon
