#include "analysis/report_rtf.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/structure_report.h"

namespace brevikon {
namespace {

const std::string Head =
    "{\\rtf1\\ansi\\ansicpg1252\\uc1\\deff0\r\n"
    "{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset0 Consolas;}}\r\n"
    "\\viewkind4\\fet0\\sectd\\pard\\ql\\f0\\fs18 ";

TEST(ReportRtf, NoDocumentReportHasNoLineBreak) {
    RtfBuffer buffer;
    RenderReportRtf(buffer, u"Keine Datei geoeffnet.");
    EXPECT_EQ(buffer.content(), Head + "Keine Datei geoeffnet.\\par}");
}

TEST(ReportRtf, ReplacesWhatTheBufferHeld) {
    RtfBuffer buffer;
    ResetRtfBuffer(buffer);
    AppendRtf(buffer, "{\\rtf1 converted document\\par}");
    RenderReportRtf(buffer, u"");
    EXPECT_EQ(buffer.content(), Head + "\\par}");
}

TEST(ReportRtf, ReportTextIsEscaped) {
    RtfBuffer buffer;
    // Backslash and braces escaped; "$", "|" and "." pass; CR dropped; LF a line break.
    RenderReportRtf(buffer, u"a\\b{c}\r\n  $1A  |.x|\n");
    EXPECT_EQ(buffer.content(), Head + "a\\\\b\\{c\\}\\line\r\n  $1A  |.x|\\line\r\n\\par}");
}

TEST(ReportRtf, FileNameOfRenderedReport) {
    // A 20-byte document: identifier "BV", zero header fields, then the text "Halo"; its name
    // holds braces, u-umlaut (U+00FC) and the euro sign (U+20AC).
    const std::vector<std::uint8_t> image = {0x42, 0x56, 0, 0, 0, 0, 0,    0,    0,    0,
                                             0,    0,    0, 0, 0, 0, 0x48, 0x61, 0x6C, 0x6F};
    const std::u16string report = BuildStructureReport(
        image.data(), static_cast<std::int64_t>(image.size()), u"C:\\Briefe\\{Gr\u00FC\u20AC}.BRV");
    RtfBuffer buffer;
    RenderReportRtf(buffer, report);
    const std::string rtf(buffer.content());
    EXPECT_EQ(rtf.rfind(Head + "STRUKTURANALYSE\\line\r\n", 0), 0u);
    EXPECT_NE(rtf.find("Datei           : \\{Gr\\'fc\\u8364?\\}.BRV\\line\r\n"), std::string::npos);
    // Every report line ends with LF, so the text ends with a line break before the one \par.
    EXPECT_EQ(rtf.substr(rtf.size() - 13), "|\\line\r\n\\par}");
    EXPECT_EQ(rtf.find("\\par", Head.size()), rtf.size() - 5);
}

}  // namespace
}  // namespace brevikon
