// Pages as printed: the layout read from the header, where lines and pages end, and the
// fonts as embedded. What PDF readers make of whole files is checked with them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "format/char_table.h"
#include "pdf/page_layout.h"
#include "pdf/printed_pages.h"
#include "pdf/true_type_font.h"

namespace brevikon {
namespace {

// A document whose header says pageLength, charsPerInch, lineSpacing and rightMargin, and
// whose text starts right after the header region: the last zero of the text-start search
// window is at 299, so the text starts at 380.
std::string Document(int pageLength, int charsPerInch, int lineSpacing, int rightMargin,
                     const std::string& text) {
    std::string document(380, '\0');
    auto put16 = [&](int at, int value) {
        document[at] = static_cast<char>(value & 0xFF);
        document[at + 1] = static_cast<char>(value >> 8);
    };
    put16(4, rightMargin);
    put16(6, pageLength);
    put16(8, charsPerInch);
    put16(10, lineSpacing);
    std::fill(document.begin() + 300, document.end(), 'x');
    return document + text + "\x1a";
}

std::string Lines(int count, const std::string& line = "Zeile") {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += line + "\r\n";
    return text;
}

const std::uint8_t* Bytes(const std::string& document) {
    return reinterpret_cast<const std::uint8_t*>(document.data());
}

TEST(PageLayout, HeaderValuesWithinTheirRangesElseTheDefaults) {
    const std::string letter = Document(72, 12, 2, 65, "");
    const PageLayout a = LayoutOf(Bytes(letter), static_cast<std::int64_t>(letter.size()));
    EXPECT_EQ(a.charsPerInch, 12);
    EXPECT_EQ(a.lineSpacing, 2);
    EXPECT_DOUBLE_EQ(a.paperHeight, 72 * 12.0);  // twelve inches at six lines per inch
    EXPECT_DOUBLE_EQ(a.blockWidth, 65 * 6.0);    // 65 columns of 1/12 inch
    EXPECT_EQ(a.linesPerPage, (72 - 12) / 2);
    EXPECT_DOUBLE_EQ(a.fontSize, 10);

    // Out of range: every value its default; the default page is A4 exactly.
    const std::string odd = Document(19, 21, 4, 9, "");
    const PageLayout b = LayoutOf(Bytes(odd), static_cast<std::int64_t>(odd.size()));
    EXPECT_EQ(b.charsPerInch, DefaultCharsPerInch);
    EXPECT_EQ(b.lineSpacing, DefaultLineSpacing);
    EXPECT_EQ(b.pageLength, DefaultPageLength);
    EXPECT_DOUBLE_EQ(b.paperHeight, A4Height);
    EXPECT_DOUBLE_EQ(b.blockWidth, A4Width - 144);
    EXPECT_EQ(b.rightMargin, 0);

    // A margin wider than the paper right of the left edge is not believed; the boundaries
    // of each range are.
    const std::string wide = Document(132, 5, 3, 37, "");
    const PageLayout c = LayoutOf(Bytes(wide), static_cast<std::int64_t>(wide.size()));
    EXPECT_EQ(c.rightMargin, 0);
    EXPECT_EQ(c.charsPerInch, 5);
    EXPECT_EQ(c.lineSpacing, 3);
    EXPECT_EQ(c.pageLength, 132);
    const std::string fits = Document(20, 20, 1, 145, "");  // 7.25 of 7.27 inches
    EXPECT_EQ(LayoutOf(Bytes(fits), static_cast<std::int64_t>(fits.size())).rightMargin, 145);

    // Shorter than the header: all defaults.
    const std::string tiny = "kurz";
    EXPECT_EQ(LayoutOf(Bytes(tiny), 4).pageLength, DefaultPageLength);
}

class PrintedPagesTest : public ::testing::Test {
  protected:
    PrintedPagesTest() { BuildCharTable(table_); }

    std::string Pdf(const std::string& document, FontMode mode = FontMode::Monospace) {
        std::string out;
        EXPECT_TRUE(WritePdfDocument({Bytes(document), static_cast<std::int64_t>(document.size()),
                                      mode, u"BRIEF.TXT", &table_},
                                     fonts_, out));
        return out;
    }

    static int Count(const std::string& text, const std::string& what) {
        int count = 0;
        for (std::size_t at = text.find(what); at != std::string::npos;
             at = text.find(what, at + 1))
            ++count;
        return count;
    }

    static int Pages(const std::string& pdf) { return Count(pdf, "/Type /Page "); }

    CharTable table_{};
    PdfFontSet fonts_;
};

TEST_F(PrintedPagesTest, PagesEndAfterTheirLinesAndAtPageBreaks) {
    // 20 lines of 1/6 inch, single spaced: 8 text lines a page.
    EXPECT_EQ(Pages(Pdf(Document(20, 10, 1, 60, Lines(8)))), 1);
    EXPECT_EQ(Pages(Pdf(Document(20, 10, 1, 60, Lines(9)))), 2);
    // Double spacing halves them.
    EXPECT_EQ(Pages(Pdf(Document(20, 10, 2, 60, Lines(5)))), 2);
    // A soft break ends a line as a hard one does.
    EXPECT_EQ(Pages(Pdf(Document(20, 10, 1, 60, "a\x8d" + Lines(8)))), 2);
    // A page break starts a page; one right after a page filled up adds no empty page; two
    // in a row leave one empty.
    EXPECT_EQ(Pages(Pdf(Document(20, 10, 1, 60,
                                 "a\x0c"
                                 "b"))),
              2);
    EXPECT_EQ(Pages(Pdf(Document(20, 10, 1, 60,
                                 Lines(8) + "\x0c"
                                            "b"))),
              2);
    EXPECT_EQ(Pages(Pdf(Document(20, 10, 1, 60,
                                 "a\x0c\x0c"
                                 "b"))),
              3);
    // A line longer than the block wraps: 8 lines of 61 characters in a 60-column block.
    EXPECT_EQ(Pages(Pdf(Document(20, 10, 1, 60, Lines(8, std::string(60, 'w'))))), 1);
    EXPECT_EQ(Pages(Pdf(Document(20, 10, 1, 60, Lines(8, std::string(61, 'w'))))), 2);
    // An empty document is one empty page.
    EXPECT_EQ(Pages(Pdf("")), 1);
}

TEST_F(PrintedPagesTest, PdfAIdentificationFontsAndTheSameBytesEveryTime) {
    const std::string document = Document(70, 10, 1, 65,
                                          "Gr\x81\xe1"
                                          "e \x1bS\x02"
                                          "F\x1bS\x01u \xc9\xcd\xbb\r\n");
    const std::string pdf = Pdf(document);
    EXPECT_EQ(pdf, Pdf(document));
    EXPECT_EQ(pdf.compare(0, 9, "%PDF-1.7\n"), 0);
    EXPECT_NE(pdf.find("<pdfaid:part>2</pdfaid:part>"), std::string::npos);
    EXPECT_NE(pdf.find("<pdfaid:conformance>B</pdfaid:conformance>"), std::string::npos);
    EXPECT_NE(pdf.find("<rdf:li xml:lang=\"x-default\">BRIEF.TXT</rdf:li>"), std::string::npos);
    EXPECT_NE(pdf.find("/OutputIntents ["), std::string::npos);
    EXPECT_EQ(pdf.find("/Encrypt"), std::string::npos);
    // Regular and bold faces, each embedded with its character map for copying.
    EXPECT_EQ(Count(pdf, "/FontFile2"), 2);
    EXPECT_EQ(Count(pdf, "/ToUnicode"), 2);
    // Proportional mode takes the serif faces.
    EXPECT_NE(Pdf(document, FontMode::Proportional).find("LiberationSerif"), std::string::npos);
}

TEST_F(PrintedPagesTest, ACharacterWithoutAGlyphIsNeverGivenOutAsShown) {
    ASSERT_TRUE(fonts_.Load(FontMode::Monospace));
    fonts_.StartDocument();
    const PdfFontSet::Choice none = fonts_.Choose(u'\xE000', false);  // private use
    EXPECT_EQ(none.glyph, 0);
    EXPECT_EQ(fonts_.fonts()[none.font].characterOf[0], 0);
    // Two characters drawn by one glyph: the second takes the other face, so that copying
    // gives each back.
    const PdfFontSet::Choice space = fonts_.Choose(u' ', false);
    const PdfFontSet::Choice noBreak = fonts_.Choose(u'\xA0', false);
    EXPECT_FALSE(space.font == noBreak.font && space.glyph == noBreak.glyph);
}

TEST(TrueTypeFont, ASubsetKeepsItsGlyphsUnderTheirNumbersAndTheirParts) {
    std::ifstream in("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf", std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    TrueTypeFont font;
    ASSERT_TRUE(font.Parse(bytes.str()));
    const std::uint16_t a = font.GlyphOf(u'A'), umlaut = font.GlyphOf(u'\xC4');
    ASSERT_NE(a, 0);
    ASSERT_NE(umlaut, 0);
    std::vector<bool> used(font.glyphCount(), false);
    used[umlaut] = true;
    TrueTypeFont subset;
    const std::string packed = font.Subset(used);
    ASSERT_TRUE(subset.Parse(packed));
    EXPECT_LT(packed.size(), bytes.str().size() / 4);
    EXPECT_EQ(subset.glyphCount(), font.glyphCount());
    EXPECT_EQ(subset.GlyphOf(u'\xC4'), umlaut);
    EXPECT_EQ(subset.OutlineSize(umlaut), font.OutlineSize(umlaut));
    // The umlaut is made of A and the dieresis: A's outline stays although A is not used.
    EXPECT_GT(subset.OutlineSize(a), 0u);
    EXPECT_EQ(subset.OutlineSize(font.GlyphOf(u'B')), 0u);
    EXPECT_EQ(subset.AdvanceOf(a), font.AdvanceOf(a));
    // A file that is no font is refused.
    TrueTypeFont none;
    EXPECT_FALSE(none.Parse("OTTO and nothing else"));
}

}  // namespace
}  // namespace brevikon
