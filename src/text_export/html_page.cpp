#include "text_export/html_page.h"

#include "format/font_mode.h"

namespace brevikon {

namespace {

// Shared by both font modes. Paragraphs (the body's divs) have no spacing between them,
// single line spacing (so box-drawing characters join) and keep every blank (white-space:
// pre-wrap), as the RTF viewer shows them. Tab stops every half inch, the RTF default.
constexpr std::string_view CommonStyle =
    "html { background: #d9d9d6; }\n"
    "body { box-sizing: border-box; max-width: 76ch; margin: 1.5em auto; padding: 3em 3.5em;\n"
    "       background: #fff; color: #000; line-height: normal; tab-size: 36pt;\n"
    "       box-shadow: 0 1px 6px rgba(0, 0, 0, 0.3); }\n"
    "body > div { margin: 0; white-space: pre-wrap; overflow-wrap: break-word; }\n"
    ".u { text-decoration: underline; }\n"
    ".b { font-weight: bold; }\n"
    ".sup, .sub { font-size: 70%; line-height: 0; }\n"
    ".sup { vertical-align: super; }\n"
    ".sub { vertical-align: sub; }\n"
    ".tab { white-space: pre; }\n"
    // Wide and narrow text is drawn scaled, in an inline block of no width; a hidden copy of
    // the right width right after it (the text twice, or the text at two thirds of its size)
    // takes the room in the line. Inline blocks, unlike a grid, copy without line breaks.
    ".wide, .narrow { white-space: pre; }\n"
    ".scaled { display: inline-block; width: 0; transform-origin: 0 0; }\n"
    ".wide > .scaled { transform: scaleX(2); }\n"
    ".narrow > .scaled { transform: scaleX(0.67); }\n"
    ".spacer { visibility: hidden; user-select: none; }\n"
    ".narrow > .spacer { font-size: 67%; }\n"
    "hr.page { border: 0; border-top: 1px dashed #888; margin: 1.2em -3.5em;\n"
    "          break-after: page; page-break-after: always; }\n"
    "@media print {\n"
    "  html, body { background: none; }\n"
    "  body { max-width: none; margin: 0; padding: 0; box-shadow: none; }\n"
    "  hr.page { border: 0; margin: 0; }\n"
    "}\n";

// The font of the RTF's font table, and the spacing of bit $20 (the RTF's 60 twips, 3 pt)
// in that font's em.
constexpr std::string_view MonospaceStyle =
    "body { font-family: \"Courier New\", Courier, monospace; font-size: 10pt; }\n"
    ".sp { letter-spacing: 0.3em; }\n";
constexpr std::string_view ProportionalStyle =
    "body { font-family: \"Times New Roman\", Times, serif; font-size: 12pt; }\n"
    ".sp { letter-spacing: 0.25em; }\n";

}  // namespace

void AppendHtmlEscaped(ExportBuffer& out, std::string_view utf8) {
    for (const char c : utf8) {
        switch (c) {
            case '&':
                out.Append("&amp;");
                break;
            case '<':
                out.Append("&lt;");
                break;
            case '>':
                out.Append("&gt;");
                break;
            case '"':
                out.Append("&quot;");
                break;
            case '\'':
                out.Append("&#39;");
                break;
            default:
                if (static_cast<unsigned char>(c) >= 32 && c != 127) out.Append(c);
                break;
        }
    }
}

void AppendHtmlPageStart(ExportBuffer& out, std::string_view title, FontMode fontMode) {
    out.Append(
        "<!DOCTYPE html>\n"
        "<html lang=\"de\">\n"
        "<head>\n"
        "<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<title>");
    AppendHtmlEscaped(out, title);
    out.Append("</title>\n<style>\n");
    out.Append(CommonStyle);
    out.Append(fontMode == FontMode::Monospace ? MonospaceStyle : ProportionalStyle);
    out.Append("</style>\n</head>\n<body>\n");
}

void AppendHtmlPageEnd(ExportBuffer& out) {
    out.Append("</body>\n</html>\n");
}

}  // namespace brevikon
