#include "analysis/structure_report.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/report_rtf.h"
#include "base/text.h"

namespace brevikon {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string Report(const Bytes& image, std::u16string_view name = u"DOC.BRV") {
    return Utf16ToUtf8(
        BuildStructureReport(image.data(), static_cast<std::int64_t>(image.size()), name));
}

// The lines between a heading line and the empty line that ends its block.
std::string Block(const std::string& report, std::string_view heading) {
    const auto begin = report.find(std::string(heading) + "\n");
    if (begin == std::string::npos) return "<no " + std::string(heading) + ">";
    const auto from = begin + heading.size() + 1;
    return report.substr(from, report.find("\n\n", from - 1) + 1 - from);
}

constexpr std::string_view Attributes = "VERWENDETE ATTRIBUTE";
constexpr std::string_view Controls = "UNBEKANNTE STEUERZEICHEN IM TEXT";

TEST(StructureReport, CompleteReportOfSmallDocument) {
    // 24 bytes, so no text-start window: the text starts at 0 and the header is counted too.
    const Bytes image = {
        0x42, 0x56,              // identifier "BV"
        0x01, 0x02,              // not interpreted
        0x41, 0x00,              // right margin 65
        0x48, 0x00,              // page length 72
        0x0A, 0x00,              // chars per inch 10
        0x01, 0x01,              // line spacing 257
        0x03,                    // header lines 3
        0x1A, 0x0C,              // not interpreted (but counted as text: end mark, page break)
        0x02,                    // footer lines 2
        0x1B, 0x53, 0x05, 0x0D,  // escape: underline+superscript, character 13 (no break)
        0x0D,                    // hard break
        0x8D,                    // soft break
        0x1B, 0x53,              // escape cut off by the end of the file
    };
    const std::string expected =
        "STRUKTURANALYSE\n"
        "===============\n"
        "\n"
        "Datei           : BRIEF1.BRV\n"
        "Groesse         : 24 Bytes\n"
        "Textbeginn      : 0 ($0)\n"
        "\n"
        "KOPFDATEN\n"
        "  Kennung       : 42 56\n"
        "  rechter Rand  : 65\n"
        "  Blattlaenge   : 72\n"
        "  Zeichen/Zoll  : 10\n"
        "  Zeilenabstand : 257\n"
        "  Kopfzeilen    : 3\n"
        "  Fusszeilen    : 2\n"
        "\n"
        "TEXTSTRUKTUR\n"
        "  $0D harte Umbrueche      : 1\n"
        "  $8D weiche Umbrueche     : 1\n"
        "  $A0 weiche Leerzeichen   : 0\n"
        "  ESC-S-Auszeichnungen     : 1\n"
        "\n"
        "VERWENDETE ATTRIBUTE\n"
        "  $05       1x   unterstrichen hochgestellt \n"
        "\n"
        "UNBEKANNTE STEUERZEICHEN IM TEXT\n"
        "  $00  3x\n"
        "  $01  3x\n"
        "  $02  2x\n"
        "  $03  1x\n"
        "  $0C  1x\n"
        "  $1A  1x\n"
        "\n"
        "DATEIKOPF - erste 64 Bytes\n"
        "000000  42 56 01 02 41 00 48 00  0A 00 01 01 03 1A 0C 02  |BV..A.H.........|\n"
        "000010  1B 53 05 0D 0D 8D 1B 53  " +
        std::string(24, ' ') +
        " |.S.....S|\n"
        "\n"
        "TEXTANFANG - 128 Bytes ab 0\n"
        "000000  42 56 01 02 41 00 48 00  0A 00 01 01 03 1A 0C 02  |BV..A.H.........|\n"
        "000010  1B 53 05 0D 0D 8D 1B 53  " +
        std::string(24, ' ') + " |.S.....S|\n";
    EXPECT_EQ(Report(image, u"BRIEF1.BRV"), expected);
}

// Nothing to report without an image; no header block below nineteen bytes.
TEST(StructureReport, NoDocumentAndNoHeader) {
    const Bytes image = {0x41};
    for (const std::int64_t length : {0, -1})
        EXPECT_EQ(BuildStructureReport(image.data(), length, u"X.BRV"), u"Keine Datei geoeffnet.");
    EXPECT_EQ(BuildStructureReport(nullptr, 10, u"X.BRV"), u"Keine Datei geoeffnet.");
    EXPECT_EQ(Block(Report(Bytes(18, 0x41)), "KOPFDATEN"), "");
    EXPECT_NE(Block(Report(Bytes(19, 0x41)), "KOPFDATEN"), "");
}

TEST(StructureReport, AttributeLines) {
    // Escapes with attributes $FF, $00, $00, $05, $20, $80, listed in byte order.
    const Bytes image = {
        0x1B, 0x53, 0xFF, 0x41,  // every bit
        0x1B, 0x53, 0x00, 0x41,  // no bit, twice
        0x1B, 0x53, 0x00, 0x41,  //
        0x1B, 0x53, 0x05, 0x41,  // underline, superscript
        0x1B, 0x53, 0x20, 0x41,  // the unnamed bit $20
        0x1B, 0x53, 0x80, 0x41,  // the unnamed bit $80
    };
    EXPECT_EQ(Block(Report(image), Attributes),
              "  $00       2x   \n"
              "  $05       1x   unterstrichen hochgestellt \n"
              "  $20       1x   (Bit $20) \n"
              "  $80       1x   (Bit $80) \n"
              "  $FF       1x   unterstrichen fett hochgestellt tiefgestellt breit (Bit $20) "
              "schmal (Bit $80) \n");
}

TEST(StructureReport, ControlCodeListSkipsTabLineFeedReturnAndEscape) {
    // Every byte from 0 to 31 once; the 27 is followed by 28, so it starts no escape.
    Bytes image;
    for (int b = 0; b < 32; ++b)
        image.push_back(static_cast<std::uint8_t>(b));
    std::string expected;
    for (const char* code :
         {"00", "01", "02", "03", "04", "05", "06", "07", "08", "0B", "0C", "0E", "0F", "10",
          "11", "12", "13", "14", "15", "16", "17", "18", "19", "1A", "1C", "1D", "1E", "1F"}) {
        expected += std::string("  $") + code + "  1x\n";
    }
    EXPECT_EQ(Block(Report(image), Controls), expected);
}

TEST(StructureReport, CountsStartAtTextStart) {
    // 300 bytes without a zero after offset 199: the text starts at the fall-back 273.
    Bytes image(300, 0x41);
    image[100] = 0x0D;  // before the text: not counted
    image[150] = 0x1A;  // before the text: not listed
    image[280] = 0x0D;  // in the text
    image[299] = 0x1A;  // end mark at the end of the text
    const std::string report = Report(image);
    EXPECT_NE(report.find("Textbeginn      : 273 ($111)\n"), std::string::npos);
    EXPECT_NE(report.find("  $0D harte Umbrueche      : 1\n"), std::string::npos);
    EXPECT_EQ(Block(report, Controls), "  $1A  1x\n");
    // The heading names 128 bytes; the dump shows the 27 that exist.
    const auto dump = report.find("TEXTANFANG - 128 Bytes ab 273\n000111  41 41 41 41 41 41 41 0D");
    ASSERT_NE(dump, std::string::npos);
    EXPECT_EQ(report.size() - dump, 30 + 77 + 72);
}

TEST(StructureReport, MillionCountsWidenTheField) {
    // Blanks with the last zero of the window at 200, so the text starts at 281 with an "X";
    // then a million bold escapes.
    Bytes image(282, 0x20);
    image[200] = 0x00;
    image[281] = 0x58;
    image.reserve(image.size() + 4000000);
    for (int i = 0; i < 1000000; ++i)
        image.insert(image.end(), {0x1B, 0x53, 0x02, 0x61});
    const std::string report = Report(image);
    EXPECT_NE(report.find("Textbeginn      : 281 ($119)\n"), std::string::npos);
    EXPECT_NE(report.find("  ESC-S-Auszeichnungen     : 1000000\n"), std::string::npos);
    EXPECT_EQ(Block(report, Attributes), "  $02  1000000x   fett \n");
}

// The report as RTF, in the viewer's own monospace font.
const std::string Head =
    "{\\rtf1\\ansi\\ansicpg1252\\uc1\\deff0\r\n"
    "{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset0 Consolas;}}\r\n"
    "\\viewkind4\\fet0\\sectd\\pard\\ql\\f0\\fs18 ";

TEST(ReportRtf, ReplacesWhatTheBufferHeldAndEscapesTheText) {
    RtfBuffer buffer;
    RenderReportRtf(buffer, u"Keine Datei geoeffnet.");
    EXPECT_EQ(buffer.content(), Head + "Keine Datei geoeffnet.\\par}");
    // Backslash and braces escaped; "$", "|" and "." pass; CR dropped; LF a line break.
    RenderReportRtf(buffer, u"a\\b{c}\r\n  $1A  |.x|\n");
    EXPECT_EQ(buffer.content(), Head + "a\\\\b\\{c\\}\\line\r\n  $1A  |.x|\\line\r\n\\par}");
}

}  // namespace
}  // namespace brevikon
