// --to text and --to html: the document read by the converter's rules, written as UTF-8 lines
// or as one standalone page with the same paragraphs and attributes as the RTF.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <string_view>
#include <utility>

#include "format/char_table.h"
#include "support/random_document.h"
#include "support/reference_html.h"
#include "support/reference_text.h"
#include "text_export/convert_to_html.h"
#include "text_export/convert_to_text.h"

namespace brevikon {
namespace {

// The text form of a document, or its HTML page when a title is given.
std::string Export(const std::string& document, const char* title = nullptr,
                   FontMode fontMode = FontMode::Monospace) {
    CharTable table{};
    BuildCharTable(table);
    ExportBuffer out;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(document.data());
    const auto length = static_cast<std::int64_t>(document.size());
    EXPECT_TRUE(title ? HtmlExporter(table).Convert(bytes, length, fontMode, title, out)
                      : TextExporter(table).Convert(bytes, length, out));
    return std::string(out.content());
}

// What stands between <body> and </body>.
std::string Body(const std::string& document) {
    const std::string page = Export(document, "T");
    const std::size_t start = page.find("<body>\n") + 7;
    return page.substr(start, page.find("</body>") - start);
}

TEST(TextExport, DocumentsAndTheirText) {
    const std::pair<std::string, std::string> cases[] = {
        // Paragraphs: a lone 10 means nothing, 10 then 13 is one break, 127 opens a paragraph
        // but shows nothing, unknown control codes show nothing, nothing after the end marker.
        {"Hi\r\n\x1a", "Hi\n"},
        {"A", "A\n"},
        {"a\r\r", "a\n\n"},
        {"a\nb\n\rc", "ab\nc\n"},
        {"\x1a", ""},
        {"ab\x1azz\r", "ab\n"},
        {"\x7f", "\n"},
        {"a\x01\x1bz", "az\n"},
        // The soft break writes the only blank and drops the spaces after it; a tab or a line
        // feed keeps that state, a control code, a hard break, a page break or an escape ends it.
        {"x\x8d  y", "x y\n"},
        {"\x8d\t ", " \t\n"},
        {"ein\x8d\n  Wort", "ein Wort\n"},
        {"\x8d\x01 ", "  \n"},
        {"a\x8d\r b", "a \n b\n"},
        {"a\x8d\x0c ", "a \n\f \n"},
        {"a\x8d\x1bS\x01x y", "a x y\n"},
        {"a \x80\xa0z", "a   z\n"},  // each space code is one blank: 32, 128 and 160
        // A page break closes the paragraph first, if one is open.
        {"a\x0cz", "a\n\fz\n"},
        {"\x0cz", "\fz\n"},
        {"a\r\x0c\x0c", "a\n\f\f"},
        // Escapes show their character without attributes, even 13, 26 and 160; at the end,
        // 27 83 "x" is no escape.
        {"\x1bS\x01x\x1bS\x02y", "xy\n"},
        {"a\x1bS\x02\x0dg\x1bS\x02\x1ah", "agh\n"},
        {"\x1bS\x01\xa0", "\xc3\xa1\n"},
        {"\x1bSx", "Sx\n"},
        // Code page 437: umlauts and sharp s, degree, box drawing, no-break space; 141 is a soft
        // break in the plain stream but i with grave in an escape.
        {"\x84\x94\x81\x8e\x99\x9a\xe1",
         "\xc3\xa4\xc3\xb6\xc3\xbc\xc3\x84\xc3\x96\xc3\x9c\xc3\x9f\n"},
        {"\xf8\xb3\xc4\xff", "\xc2\xb0\xe2\x94\x82\xe2\x94\x80\xc2\xa0\n"},
        {std::string("\x1bS\x00\x8d", 4), "\xc3\xac\n"},
        // No zero in the search window and 300 bytes: the text begins at the fall-back 273.
        {std::string(273, 'J') + "Hallo\r\n\x1a" + std::string(19, 'R'), "Hallo\n"}};
    for (const auto& [document, text] : cases)
        EXPECT_EQ(Export(document), text) << testing::PrintToString(document);
}

TEST(TextExport, MatchesTheLiteralReadingByteForByte) {
    CharTable table{};
    BuildCharTable(table);
    std::mt19937 random(1988);
    ExportBuffer out;
    constexpr test::DocumentBytes kinds[] = {test::DocumentBytes::Prose, test::DocumentBytes::Any,
                                             test::DocumentBytes::Plain};
    for (int round = 0; round < 450; ++round) {
        const std::size_t length = 1 + random() % (round < 300 ? 1200 : 90000);
        const auto bytes = test::RandomDocument(random, length, kinds[round % 3]);
        const auto document = test::ExactImage(bytes);
        const auto spaces =
            round % 2 ? TextExporter::DropFillerSpaces : TextExporter::KeepAllSpaces;
        const std::string reference =
            test::ReferenceText(document.get(), static_cast<std::int64_t>(length), table,
                                spaces == TextExporter::DropFillerSpaces);
        // The wide blocks where the processor has them; the narrow always.
        for (const bool wide : {false, WideBlocksAvailable()}) {
            ASSERT_TRUE(TextExporter(table, spaces, wide)
                            .Convert(document.get(), static_cast<std::int64_t>(length), out));
            ASSERT_TRUE(out.content() == reference) << "round " << round << " wide " << wide;
        }
    }
}

// Random codes and escapes, with the attribute bits of every group and the same attributes
// often in a row, against the literal reading: every span where the attributes change, every
// spacer copy, every carried space.
TEST(HtmlExport, MatchesTheLiteralReadingByteForByte) {
    CharTable table{};
    BuildCharTable(table);
    // The wide blocks where the processor has them; the narrow ones always.
    const HtmlExporter narrow(table, false), wide(table);
    std::mt19937 random(1990);
    ExportBuffer out;
    constexpr test::DocumentBytes kinds[] = {test::DocumentBytes::Prose, test::DocumentBytes::Any,
                                             test::DocumentBytes::Plain};
    for (int round = 0; round < 450; ++round) {
        const std::size_t length = 1 + random() % (round < 300 ? 1200 : 90000);
        auto bytes = test::RandomDocument(random, length, kinds[round % 3]);
        // The generator's attributes are 0 to 3; give most escapes other groups as well.
        const std::uint8_t spread = round % 4 == 0 ? 0 : static_cast<std::uint8_t>(random());
        for (std::size_t p = 0; p + 3 < length; ++p) {
            if (bytes[p] == Escape && bytes[p + 1] == EscapeLetter)
                bytes[p + 2] = static_cast<std::uint8_t>(bytes[p + 2] * (spread | 1));
        }
        const auto document = test::ExactImage(bytes);
        const std::string reference =
            test::ReferenceHtmlBody(document.get(), static_cast<std::int64_t>(length), table);
        for (const HtmlExporter* exporter : {&narrow, &wide}) {
            ASSERT_TRUE(exporter->Convert(document.get(), static_cast<std::int64_t>(length),
                                          FontMode::Monospace, "T", out));
            const std::string page(out.content());
            const std::size_t start = page.find("<body>\n") + 7;
            ASSERT_TRUE(page.substr(start, page.rfind("</body>") - start) == reference)
                << "round " << round << (exporter == &narrow ? " narrow" : " wide");
        }
    }
}

// Phrases of escapes end in every way the escaped run tells apart: text after none, one, two
// or three blanks, a soft break before an escape, text, a tab or a control code, a hard break
// before text or an escape, a tab, an escape of other attributes, the end of the text; with
// text classes, a width, and no visible attribute; and long phrases whose end falls at each
// distance from the end of a step of the escaped run.
TEST(HtmlExport, PhraseEndingsMatchTheLiteralReading) {
    CharTable table{};
    BuildCharTable(table);
    const HtmlExporter narrow(table, false), wide(table);
    const std::string endings[] = {
        // Blanks and text, an escape of other attributes, a control code, the end.
        "x", " x", " \xa0x", "  \xa0x", "\x80\x84", " \x1bS\x01y", "\x1bS\x08y", " \x01x", "\x1a",
        "\x1bS\x03\x7f", " ", "",
        // Soft breaks before an escape, text, a tab, a control code or the end.
        "\x8d\n\x1bS\x03y", "\x8d\n \xa0q", "\x8d\n\t", "\x8d\x01", "\x8d", " \x8d\nz",
        // Hard breaks, page breaks and tabs, and what the paragraph after them begins with.
        "\r\nx", "\r\n\x1bS\x03y", "\r\n\r\n\x1bS\x02y", "\r\n\x1bS", "\x0c\x1bS\x01z", "\t",
        "\t\x1bS\x01t"};
    const std::uint8_t attributes[] = {Bold | Underline, Superscript | Subscript | Bit20, Bit80,
                                       Wide | Bold, Narrow};
    ExportBuffer out;
    for (const std::uint8_t attribute : attributes) {
        const std::string escape = {'\x1b', 'S', static_cast<char>(attribute)};
        // Short phrases, and phrases of about a step whose blanks move their end byte by byte.
        for (const int count : {1, 3, 1021, 1022, 1023, 1024, 1025}) {
            constexpr char Letters[] = {'W', 'o', 'r', 't', '\x84', 'e'};  // \x84: a with umlaut
            std::string phrase;
            for (int n = 0; n < count; ++n) {
                if (n > 0 && n % 300 == 0 && n / 300 <= count % 4) phrase += ' ';
                phrase += escape + Letters[n % std::size(Letters)];
            }
            for (const std::string& ending : endings) {
                for (const std::string& after : {std::string(), std::string(" Ende\r\n")}) {
                    const std::string document = "Text " + phrase + ending + after;
                    const auto* bytes = reinterpret_cast<const std::uint8_t*>(document.data());
                    const auto length = static_cast<std::int64_t>(document.size());
                    const std::string reference = test::ReferenceHtmlBody(bytes, length, table);
                    for (const HtmlExporter* exporter : {&narrow, &wide}) {
                        ASSERT_TRUE(
                            exporter->Convert(bytes, length, FontMode::Monospace, "T", out));
                        const std::string page(out.content());
                        const std::size_t start = page.find("<body>\n") + 7;
                        ASSERT_TRUE(page.substr(start, page.rfind("</body>") - start) == reference)
                            << testing::PrintToString(ending) << " after " << count
                            << " escapes of " << int{attribute};
                    }
                }
            }
        }
    }
}

// Long paragraphs of soft-broken lines, each break followed by what it drops or by a tab,
// and now and then thousands of tabs, whose text is longer than any other byte's: the plain
// run takes the breaks and tabs itself, and over 200 KB they meet the end of its steps at
// every distance, where the break must stay pending for the steps one by one.
TEST(HtmlExport, SoftBreaksAndTabsInLongRunsMatchTheLiteralReading) {
    CharTable table{};
    BuildCharTable(table);
    const HtmlExporter exporter(table);
    const std::string follows[] = {"\n", "\n  ", "\n\xa0 \x80", " ", "\n\t"};
    std::string document;
    for (int i = 0; document.size() < 200000; ++i) {
        document += std::string(static_cast<std::size_t>(37 + i % 9), 'a' + i % 26);
        if (i % 13 == 5) document += std::string(static_cast<std::size_t>(3000 + i), '\t');
        document += i % 11 == 10 ? "\r\n" : "\x8d" + follows[i % std::size(follows)];
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(document.data());
    const auto length = static_cast<std::int64_t>(document.size());
    ExportBuffer out;
    ASSERT_TRUE(exporter.Convert(bytes, length, FontMode::Monospace, "T", out));
    const std::string page(out.content());
    const std::size_t start = page.find("<body>\n") + 7;
    EXPECT_TRUE(page.substr(start, page.rfind("</body>") - start) ==
                test::ReferenceHtmlBody(bytes, length, table));
}

TEST(HtmlExport, ParagraphsAndAttributesAsTheRtfHasThem) {
    const std::pair<std::string, std::string> cases[] = {
        // Paragraphs, the empty one kept; page breaks; tabs.
        {"Hi\r\n\x1a", "<div>Hi</div>\n"},
        {"a\r\r", "<div>a</div>\n<div><br></div>\n"},
        {"\x1a", ""},
        {"x\x8d  y", "<div>x y</div>\n"},
        {"a\x0cz", "<div>a</div>\n<hr class=\"page\">\n<div>z</div>\n"},
        {"\x0c", "<hr class=\"page\">\n"},
        {"a\tb", "<div>a<span class=\"tab\">\t</span>b</div>\n"},
        // Within a run: a line feed or a page break after a hard break opens no paragraph;
        // 127 opens one that shows nothing and so holds a line break.
        {"ab\r\n\n\x0c", "<div>ab</div>\n<hr class=\"page\">\n"},
        {"ab\r\x7f\rc", "<div>ab</div>\n<div><br></div>\n<div>c</div>\n"},
        {"\x7f\rb", "<div><br></div>\n<div>b</div>\n"},
        // The same where the blocks of a long line take the line's end.
        {std::string(40, 'a') + "\r\n\x7f\r\n" + std::string(100, 'b'),
         "<div>" + std::string(40, 'a') + "</div>\n<div><br></div>\n<div>" + std::string(100, 'b') +
             "</div>\n"},
        // An escape whose character shows nothing leaves no empty span behind.
        {"\x1bS\x01\x0d\r", "<div><br></div>\n"},
        // A blank between two escapes with the same attribute carries it; of two blanks only
        // the last; a plain character ends the carry; a soft break is a blank without
        // attributes, and the spaces after it are dropped.
        {"\x1bS\x01x \x1bS\x01y", "<div><span class=\"u\">x y</span></div>\n"},
        {"\x1bS\x01x \x1bS\x02y",
         "<div><span class=\"u\">x</span> <span class=\"b\">y</span></div>\n"},
        {"\x1bS\x01x  \x1bS\x01y",
         "<div><span class=\"u\">x</span> <span class=\"u\"> y</span></div>\n"},
        {"\x1bS\x01xz \x1bS\x01y",
         "<div><span class=\"u\">x</span>z <span class=\"u\">y</span></div>\n"},
        {"\x1bS\x01x\x8d\n \x1bS\x01y",
         "<div><span class=\"u\">x</span> <span class=\"u\">y</span></div>\n"},
        // Which attribute wins; bit $80 shows nothing, so it shares the span.
        {"\x1bS\x0cx", "<div><span class=\"sup\">x</span></div>\n"},
        {"\x1bS\x08x", "<div><span class=\"sub\">x</span></div>\n"},
        {"\x1bS\x23x", "<div><span class=\"u b sp\">x</span></div>\n"},
        {"\x1bS\x80x", "<div>x</div>\n"},
        {"\x1bS\x01x\x1bS\x81y", "<div><span class=\"u\">xy</span></div>\n"},
        // Every character HTML gives a meaning, plain and inside an escape.
        {"<script>alert(\"&'\")</script>\x1bS\x02<",
         "<div>&lt;script&gt;alert(&quot;&amp;&#39;&quot;)&lt;/script&gt;<span "
         "class=\"b\">&lt;</span></div>\n"},
        // Wide over narrow; scaled text is followed by a hidden copy that takes its room.
        {"\x1bS\x50W\x1bS\x50&",
         "<div><span class=\"wide\"><span class=\"scaled\">W&amp;</span>"
         "<span class=\"spacer\" aria-hidden=\"true\">W&amp;W&amp;</span></span></div>\n"},
        {"\x1bS\x42n",
         "<div><span class=\"narrow\"><span class=\"scaled\"><span class=\"b\">n</span></span>"
         "<span class=\"spacer\" aria-hidden=\"true\"><span class=\"b\">n</span></span>"
         "</span></div>\n"}};
    for (const auto& [document, body] : cases)
        EXPECT_EQ(Body(document), body) << testing::PrintToString(document);
}

// The samples' golden pages pin the whole page. A hostile file name is escaped in the title;
// -p changes only the font, in the sizes the RTF has (\fs20 and \fs24).
TEST(HtmlExport, TitleAndFont) {
    const char* title = "<b onclick=\"x\">&'</title>\x01.txt";
    std::string page = Export("x", title, FontMode::Monospace);
    EXPECT_NE(
        page.find("<title>&lt;b onclick=&quot;x&quot;&gt;&amp;&#39;&lt;/title&gt;.txt</title>"),
        std::string::npos);
    const std::string monospace =
        "body { font-family: \"Courier New\", Courier, monospace; font-size: 10pt; }\n"
        ".sp { letter-spacing: 0.3em; }";
    ASSERT_NE(page.find(monospace), std::string::npos) << page;
    EXPECT_EQ(Export("x", title, FontMode::Proportional),
              page.replace(page.find(monospace), monospace.size(),
                           "body { font-family: \"Times New Roman\", Times, serif; font-size: "
                           "12pt; }\n.sp { letter-spacing: 0.25em; }"));
}

}  // namespace
}  // namespace brevikon
