#include "analysis/structure_report.h"

#include "analysis/hex_dump.h"
#include "analysis/text_counts.h"
#include "base/text.h"
#include "format/document_format.h"

namespace brevikon {

namespace {

// Attribute lines give the count right-aligned in this many characters. Larger counts widen
// the field rather than lose digits.
constexpr std::size_t AttributeCountWidth = 6;

// Names of the AttributeFlags bits, from bit 0x01 up, each with its trailing blank.
constexpr std::u16string_view AttributeBitNames[8] = {
    u"unterstrichen ", u"fett ",      u"hochgestellt ", u"tiefgestellt ",
    u"breit ",         u"(Bit $20) ", u"schmal ",       u"(Bit $80) ",
};

std::u16string TwoDigitHex(std::uint8_t value) {
    return HexText(value, 2);
}

void AppendLine(std::u16string& out, std::u16string_view label, std::u16string_view value) {
    out += label;
    out += value;
    out += u'\n';
}

void AppendHeaderLines(std::u16string& out, const DocumentHeader& header) {
    AppendLine(out, u"  Kennung       : ",
               TwoDigitHex(header.identifier[0]) + u' ' + TwoDigitHex(header.identifier[1]));
    AppendLine(out, u"  rechter Rand  : ", DecimalText(header.rightMargin));
    AppendLine(out, u"  Blattlaenge   : ", DecimalText(header.pageLength));
    AppendLine(out, u"  Zeichen/Zoll  : ", DecimalText(header.charsPerInch));
    AppendLine(out, u"  Zeilenabstand : ", DecimalText(header.lineSpacing));
    AppendLine(out, u"  Kopfzeilen    : ", DecimalText(header.headerLines));
    AppendLine(out, u"  Fusszeilen    : ", DecimalText(header.footerLines));
}

void AppendAttributeLines(std::u16string& out, const TextCounts& counts) {
    for (int a = 0; a < 256; ++a) {
        if (counts.attributeCounts[a] < 1) continue;
        out += u"  $";
        out += TwoDigitHex(static_cast<std::uint8_t>(a));
        out += u"  ";
        out += PadLeft(DecimalText(counts.attributeCounts[a]), AttributeCountWidth, u' ');
        out += u"x   ";
        for (int bit = 0; bit < 8; ++bit) {
            if (a & (1 << bit)) out += AttributeBitNames[bit];
        }
        out += u'\n';
    }
}

// Control codes the format gives no meaning: all below Space except Tab, LineFeed, HardBreak
// and Escape. PageBreak and EndOfText are listed too, as the text counting runs past them.
void AppendUnknownControlLines(std::u16string& out, const TextCounts& counts) {
    for (int c = 0; c < Space; ++c) {
        if (c == Tab || c == LineFeed || c == HardBreak || c == Escape) continue;
        if (counts.byteCounts[c] < 1) continue;
        out += u"  $";
        out += TwoDigitHex(static_cast<std::uint8_t>(c));
        out += u"  ";
        out += DecimalText(counts.byteCounts[c]);
        out += u"x\n";
    }
}

}  // namespace

std::u16string BuildStructureReport(const std::uint8_t* image, std::int64_t length,
                                    std::u16string_view fileName) {
    if (!image || length < 1) return std::u16string(NoDocumentReport);

    const std::int64_t textStart = FindTextStart(image, length);
    TextCounts counts;
    CountTextStructure(image, length, textStart, counts);

    std::u16string out;
    out += u"STRUKTURANALYSE\n";
    out += u"===============\n";
    out += u'\n';
    AppendLine(out, u"Datei           : ", fileName);
    AppendLine(out, u"Groesse         : ", DecimalText(length) + u" Bytes");
    AppendLine(
        out, u"Textbeginn      : ",
        DecimalText(textStart) + u" ($" + HexText(static_cast<std::uint64_t>(textStart)) + u')');
    out += u'\n';

    out += u"KOPFDATEN\n";
    DocumentHeader header;
    if (ReadDocumentHeader(image, length, header)) AppendHeaderLines(out, header);
    out += u'\n';

    out += u"TEXTSTRUKTUR\n";
    AppendLine(out, u"  $0D harte Umbrueche      : ", DecimalText(counts.hardBreaks));
    AppendLine(out, u"  $8D weiche Umbrueche     : ", DecimalText(counts.softBreaks));
    AppendLine(out, u"  $A0 weiche Leerzeichen   : ", DecimalText(counts.softSpaces));
    AppendLine(out, u"  ESC-S-Auszeichnungen     : ", DecimalText(counts.attributeEscapes));
    out += u'\n';

    out += u"VERWENDETE ATTRIBUTE\n";
    AppendAttributeLines(out, counts);
    out += u'\n';

    out += u"UNBEKANNTE STEUERZEICHEN IM TEXT\n";
    AppendUnknownControlLines(out, counts);
    out += u'\n';

    // The headings name the nominal sizes even when the file is shorter.
    out += u"DATEIKOPF - erste 64 Bytes\n";
    out += HexDump(image, length, 0, HeadDumpCount);
    out += u'\n';

    out += u"TEXTANFANG - 128 Bytes ab ";
    out += DecimalText(textStart);
    out += u'\n';
    out += HexDump(image, length, textStart, TextDumpCount);
    return out;
}

}  // namespace brevikon
