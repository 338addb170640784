#pragma once
// The HTML page's body written the slow, literal way: one case per byte, every span opened
// and closed where the attributes change, no runs. Tests and fuzzers compare the real export
// with it byte for byte.
#include <cstdint>
#include <string>

#include "format/char_table.h"
#include "format/document_format.h"
#include "text_export/character_forms.h"

namespace brevikon::test {

inline std::string ReferenceHtmlBody(const std::uint8_t* image, std::int64_t length,
                                     const CharTable& table) {
    std::string html;
    if (!image || length < 1) return html;
    bool open = false, softBreak = false;
    std::uint8_t lastEscape = 0, wanted = 0, shown = 0;
    std::size_t paragraphStart = 0, runStart = 0;

    auto classes = [](std::uint8_t v) {
        std::string names;
        const std::pair<std::uint8_t, const char*> all[] = {
            {Underline, "u"}, {Bold, "b"}, {Superscript, "sup"}, {Subscript, "sub"}, {Bit20, "sp"}};
        for (const auto& [bit, name] : all) {
            if (!(v & bit)) continue;
            if (!names.empty()) names += ' ';
            names += name;
        }
        return names;
    };
    auto closeSpan = [&] {
        const std::uint8_t v = shown;
        shown = 0;
        if (!v) return;
        const std::string names = classes(v), run = html.substr(runStart);
        if (!names.empty()) html += "</span>";
        if (!(v & (Wide | Narrow))) return;
        html += "</span><span class=\"spacer\" aria-hidden=\"true\">";
        if (!names.empty()) html += "<span class=\"" + names + "\">";
        html += run;
        if (v & Wide) html += run;
        if (!names.empty()) html += "</span>";
        html += "</span></span>";
    };
    auto openSpan = [&](std::uint8_t v) {
        shown = v;
        if (!v) return;
        if (v & Wide) html += "<span class=\"wide\"><span class=\"scaled\">";
        if ((v & Narrow) && !(v & Wide)) html += "<span class=\"narrow\"><span class=\"scaled\">";
        if (!classes(v).empty()) html += "<span class=\"" + classes(v) + "\">";
        runStart = html.size();
    };
    auto text = [&](const std::string& t) {
        if (t.empty()) return;
        if (wanted != shown) {
            closeSpan();
            openSpan(wanted);
        }
        html += t;
    };
    auto openParagraph = [&] {
        if (open) return;
        html += "<div>";
        paragraphStart = html.size();
        open = true;
    };
    auto closeParagraph = [&] {
        closeSpan();
        wanted = 0;
        html += html.size() == paragraphStart ? "<br></div>\n" : "</div>\n";
        open = false;
    };
    auto character = [&](std::uint8_t code, std::uint8_t attributes) {
        openParagraph();
        wanted = VisibleAttributes(attributes);
        const char16_t c = table[code];
        if (c == u'&') return text("&amp;");
        if (c == u'<') return text("&lt;");
        if (c == u'>') return text("&gt;");
        if (c == u'"') return text("&quot;");
        if (c == u'\'') return text("&#39;");
        char form[Utf8CharMaxLength];
        text(std::string(form, static_cast<std::size_t>(FormatUtf8Char(c, form))));
    };

    std::int64_t p = FindTextStart(image, length);
    while (p < length) {
        const std::uint8_t v = image[p++];
        if (v == 26) break;
        if (v == 13) {
            if (p < length && image[p] == 10) ++p;
            openParagraph();
            closeParagraph();
            softBreak = false;
            lastEscape = 0;
        } else if (v == 141) {
            openParagraph();
            wanted = 0;
            text(" ");
            softBreak = true;
            lastEscape = 0;
        } else if (v == 12) {
            if (open) closeParagraph();
            html += "<hr class=\"page\">\n";
            softBreak = false;
            lastEscape = 0;
        } else if (v == 9) {
            openParagraph();
            wanted = 0;
            text("<span class=\"tab\">\t</span>");
            lastEscape = 0;
        } else if (v == 32 || v == 128 || v == 160) {
            if (softBreak) continue;
            // A space keeps the attributes of the escape before it only when the escape right
            // after it has the same attribute byte.
            const bool carried = lastEscape != 0 && p + 3 < length && image[p] == 27 &&
                                 image[p + 1] == 83 && image[p + 2] == lastEscape;
            openParagraph();
            wanted = VisibleAttributes(carried ? lastEscape : 0);
            text(" ");
        } else if (v != 10) {
            softBreak = false;
            if (v == 27 && p + 2 < length && image[p] == 83) {
                character(image[p + 2], image[p + 1]);
                lastEscape = image[p + 1];
                p += 3;
            } else if (v >= 32) {
                character(v, 0);
                lastEscape = 0;
            }
        }
    }
    if (open) closeParagraph();
    return html;
}

}  // namespace brevikon::test
