#pragma once
// The document conversion written the slow, literal way: one case per byte, every fragment
// through AppendRtf, no plain-run shortcut. Tests and fuzzers compare the real converter
// with it, byte for byte and capacity for capacity.
#include <cstdint>
#include <string>

#include "format/char_table.h"
#include "format/document_format.h"
#include "rtf/convert_document.h"
#include "rtf/rtf_buffer.h"

namespace brevikon::test {

inline void ReferenceConvert(const std::uint8_t* image, std::int64_t length, FontMode fontMode,
                             const CharTable& table, RtfBuffer& buffer) {
    std::uint8_t current = 0;
    ResetRtfBuffer(buffer);
    if (!image || length < 1) return;
    const std::string opening =
        fontMode == FontMode::Monospace ? "\\pard\\ql\\f0\\fs20 " : "\\pard\\ql\\f1\\fs24 ";
    bool open = false;
    bool softBreak = false;
    std::uint8_t lastEscape = 0;
    auto openParagraph = [&] {
        if (open) return;
        AppendRtf(buffer, opening);
        current = 0;
        open = true;
    };
    auto closeParagraph = [&] {
        SetRtfAttributes(buffer, current, 0);
        AppendRtf(buffer, "\\par\r\n");
        open = false;
        softBreak = false;
        lastEscape = 0;
    };
    AppendRtf(buffer, "{\\rtf1\\ansi\\ansicpg1252\\uc1\\deff0\r\n");
    AppendRtf(buffer, "{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset0 Courier New;}");
    AppendRtf(buffer, "{\\f1\\froman\\fprq2\\fcharset0 Times New Roman;}}\r\n");
    AppendRtf(buffer, "{\\colortbl;\\red0\\green0\\blue0;}\r\n");
    AppendRtf(buffer, "\\viewkind4\\fet0\\sectd\r\n");
    std::int64_t p = FindTextStart(image, length);
    while (p < length) {
        const std::uint8_t v = image[p];
        if (v == 26) break;
        if (v == 13) {
            ++p;
            if (p < length && image[p] == 10) ++p;
            openParagraph();
            closeParagraph();
        } else if (v == 141) {
            ++p;
            openParagraph();
            SetRtfAttributes(buffer, current, 0);
            AppendRtf(buffer, " ");
            lastEscape = 0;
            softBreak = true;
        } else if (v == 10) {
            ++p;
        } else if (v == 12) {
            ++p;
            if (open) closeParagraph();
            AppendRtf(buffer, "\\page\r\n");
        } else if (v == 9) {
            ++p;
            openParagraph();
            SetRtfAttributes(buffer, current, 0);
            AppendRtf(buffer, "\\tab ");
            lastEscape = 0;
        } else if (v == 160 || v == 32 || v == 128) {
            ++p;
            if (softBreak) continue;
            std::uint8_t carried = 0;
            if (lastEscape != 0 && PeekAttributeEscape(image, length, p) == lastEscape) {
                carried = lastEscape;
            }
            openParagraph();
            SetRtfAttributes(buffer, current, carried);
            AppendRtf(buffer, " ");
        } else {
            softBreak = false;
            if (v == 27 && p + 3 < length && image[p + 1] == 83) {
                const std::uint8_t a = image[p + 2];
                const std::uint8_t ch = image[p + 3];
                p += 4;
                openParagraph();
                SetRtfAttributes(buffer, current, a);
                AppendRtfChar(buffer, table[ch]);
                lastEscape = a;
            } else {
                ++p;
                if (v >= 32) {
                    openParagraph();
                    SetRtfAttributes(buffer, current, 0);
                    AppendRtfChar(buffer, table[v]);
                    lastEscape = 0;
                }
            }
        }
    }
    if (open) closeParagraph();
    AppendRtf(buffer, "}");
}

}  // namespace brevikon::test
