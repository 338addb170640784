// --to html: the same paragraphs and attributes as the RTF, as one standalone page.
#include <gtest/gtest.h>

#include <string>

#include "cli_fixture.h"
#include "format/char_table.h"
#include "text_export/convert_to_html.h"

namespace brevikon {
namespace {

using test::Native;
using test::ReadFile;
using test::WriteFile;

std::string Page(const std::string& document, std::string_view title = "T",
                 std::int64_t fontMode = 0) {
    CharTable table{};
    BuildCharTable(table);
    ExportBuffer out;
    EXPECT_TRUE(HtmlExporter(table).Convert(reinterpret_cast<const std::uint8_t*>(document.data()),
                                            static_cast<std::int64_t>(document.size()), fontMode,
                                            title, out));
    return std::string(out.content());
}

// What stands between <body> and </body>.
std::string Body(const std::string& document) {
    const std::string page = Page(document);
    const std::size_t start = page.find("<body>\n");
    const std::size_t end = page.find("</body>");
    if (start == std::string::npos || end == std::string::npos) return "no body: " + page;
    return page.substr(start + 7, end - start - 7);
}

TEST(HtmlExport, ParagraphsAsTheRtfHasThem) {
    EXPECT_EQ(Body("Hi\r\n\x1a"), "<p>Hi</p>\n");
    EXPECT_EQ(Body("a\r\r"), "<p>a</p>\n<p></p>\n");  // the empty one is kept
    EXPECT_EQ(Body("\x1a"), "");
    EXPECT_EQ(Body("x\x8d  y"), "<p>x y</p>\n");
    EXPECT_EQ(Body("a\x0c"
                   "b"),
              "<p>a</p>\n<hr class=\"page\">\n<p>b</p>\n");
    EXPECT_EQ(Body("\x0c"), "<hr class=\"page\">\n");
    EXPECT_EQ(Body("a\tb"), "<p>a<span class=\"tab\">\t</span>b</p>\n");
    // An escape whose character shows nothing leaves no empty span behind.
    EXPECT_EQ(Body("\x1bS\x01\x0d\r"), "<p></p>\n");
}

TEST(HtmlExport, AttributesAndTheSpaceCarryRule) {
    const std::string underlinedA =
        "\x1bS\x01"
        "a";
    const std::string underlinedB =
        "\x1bS\x01"
        "b";
    // A blank between two escapes with the same attribute carries it.
    EXPECT_EQ(Body(underlinedA + " " + underlinedB), "<p><span class=\"u\">a b</span></p>\n");
    EXPECT_EQ(Body(underlinedA + " \x1bS\x02"
                                 "b"),
              "<p><span class=\"u\">a</span> <span class=\"b\">b</span></p>\n");
    // Of two blanks only the last is carried.
    EXPECT_EQ(Body(underlinedA + "  " + underlinedB),
              "<p><span class=\"u\">a</span> <span class=\"u\"> b</span></p>\n");
    // A plain character between them ends the carry.
    EXPECT_EQ(Body(underlinedA + "x " + underlinedB),
              "<p><span class=\"u\">a</span>x <span class=\"u\">b</span></p>\n");
    // A soft break is a blank without attributes, and the spaces after it are dropped.
    EXPECT_EQ(Body(underlinedA + "\x8d\n " + underlinedB),
              "<p><span class=\"u\">a</span> <span class=\"u\">b</span></p>\n");
}

TEST(HtmlExport, WhichAttributeWins) {
    EXPECT_EQ(Body("\x1bS\x0c"
                   "x"),
              "<p><span class=\"sup\">x</span></p>\n");
    EXPECT_EQ(Body("\x1bS\x08"
                   "x"),
              "<p><span class=\"sub\">x</span></p>\n");
    EXPECT_EQ(Body("\x1bS\x23"
                   "x"),
              "<p><span class=\"u b sp\">x</span></p>\n");
    EXPECT_EQ(Body("\x1bS\x80"
                   "x"),
              "<p>x</p>\n");  // bit $80 shows nothing
    // $80 changes nothing visible, so the two escapes share one span.
    EXPECT_EQ(Body("\x1bS\x01"
                   "a\x1bS\x81"
                   "b"),
              "<p><span class=\"u\">ab</span></p>\n");
    // Wide over narrow; scaled text is followed by a hidden copy that takes its room.
    EXPECT_EQ(Body("\x1bS\x50"
                   "A\x1bS\x50"
                   "&"),
              "<p><span class=\"wide\"><span class=\"scaled\">A&amp;</span>"
              "<span class=\"spacer\" aria-hidden=\"true\">A&amp;A&amp;</span></span></p>\n");
    EXPECT_EQ(Body("\x1bS\x42"
                   "n"),
              "<p><span class=\"narrow\"><span class=\"scaled\"><span class=\"b\">n</span></span>"
              "<span class=\"spacer\" aria-hidden=\"true\"><span class=\"b\">n</span></span>"
              "</span></p>\n");
}

TEST(HtmlExport, HostileTextIsEscaped) {
    // Content: every character HTML gives a meaning, plain and inside an escape.
    EXPECT_EQ(Body("<script>alert(\"&'\")</script>\x1bS\x02<"),
              "<p>&lt;script&gt;alert(&quot;&amp;&#39;&quot;)&lt;/script&gt;"
              "<span class=\"b\">&lt;</span></p>\n");
    const std::string page = Page("x", "<b onclick=\"x\">&'</title>\x01.txt");
    EXPECT_NE(page.find("<title>&lt;b onclick=&quot;x&quot;&gt;&amp;&#39;&lt;/title&gt;.txt"
                        "</title>"),
              std::string::npos)
        << page;
}

TEST(HtmlExport, StandalonePageInTheChosenFont) {
    const std::string monospace = Page("x", "A.TXT", 0);
    const std::string proportional = Page("x", "A.TXT", 1);
    EXPECT_EQ(
        monospace.rfind("<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">", 0),
        0u);
    EXPECT_NE(monospace.find("\"Courier New\", Courier, monospace"), std::string::npos);
    EXPECT_NE(proportional.find("\"Times New Roman\", Times, serif"), std::string::npos);
    for (const std::string& page : {monospace, proportional}) {
        // Nothing runs and nothing is fetched.
        for (const char* outside : {"<script", "src=", "href", "url(", "@import", "http"}) {
            EXPECT_EQ(page.find(outside), std::string::npos) << outside;
        }
        EXPECT_NE(page.find("break-after: page"), std::string::npos);
        EXPECT_EQ(page.substr(page.size() - 16), "</body>\n</html>\n");
    }
}

class HtmlFormatTest : public test::CliFixture {};

TEST_F(HtmlFormatTest, DefaultNameAndTitleFromTheFileName) {
    WriteFile(folder_ / "BRIEF.TXT",
              "Gr\x81\xe1"
              "e\r\n\x1a");
    ASSERT_EQ(Run({Native("--to"), Native("html"), Native(folder_ / "BRIEF.TXT")}), 0) << err_;
    const std::string page = ReadFile(folder_ / "BRIEF.html");
    EXPECT_NE(page.find("<title>BRIEF.TXT</title>"), std::string::npos);
    EXPECT_NE(page.find("<p>Gr\xc3\xbc\xc3\x9f"
                        "e</p>"),
              std::string::npos);
#ifndef _WIN32
    // Names that Windows does not allow.
    const std::string hostile = "<i>&'.txt";
    WriteFile(folder_ / hostile, "x");
    ASSERT_EQ(Run({Native("--to=html"), Native(folder_ / hostile)}), 0) << err_;
    EXPECT_NE(ReadFile(folder_ / "<i>&'.html").find("<title>&lt;i&gt;&amp;&#39;.txt</title>"),
              std::string::npos);
#endif
}

}  // namespace
}  // namespace brevikon
