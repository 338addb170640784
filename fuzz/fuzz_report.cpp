// The structure report and its RTF rendering on any bytes. Checks that the attribute lines
// add up to the escape count, that the counts fit the bytes, that every dump line has its
// fixed columns, and that the RTF is 7-bit and closed.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "analysis/report_rtf.h"
#include "analysis/structure_report.h"
#include "format/document_format.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

std::vector<std::u16string> Lines(const std::u16string& text) {
    std::vector<std::u16string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n') {
            lines.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    Require(start == text.size());  // every line ends with a line feed
    return lines;
}

long long NumberAfter(const std::u16string& line, std::size_t from) {
    long long value = 0;
    while (from < line.size() && line[from] == u' ')
        ++from;
    Require(from < line.size());
    for (; from < line.size() && line[from] >= u'0' && line[from] <= u'9'; ++from) {
        value = value * 10 + (line[from] - u'0');
    }
    return value;
}

bool StartsWith(const std::u16string& line, std::u16string_view prefix) {
    return line.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brevikon;
    if (size < 1) return 0;
    const auto length = static_cast<std::int64_t>(size);
    const std::u16string report = BuildStructureReport(data, length, u"{Br\u00FCf}.TXT");
    const std::vector<std::u16string> lines = Lines(report);

    long long escapes = -1;
    long long attributeSum = 0;
    long long hardBreaks = -1;
    enum { Other, Attributes, Dump } section = Other;
    for (const auto& line : lines) {
        if (StartsWith(line, u"  $0D harte Umbrueche      : ")) hardBreaks = NumberAfter(line, 29);
        if (StartsWith(line, u"  ESC-S-Auszeichnungen     : ")) escapes = NumberAfter(line, 29);
        if (line == u"VERWENDETE ATTRIBUTE") {
            section = Attributes;
            continue;
        }
        if (StartsWith(line, u"DATEIKOPF") || StartsWith(line, u"TEXTANFANG")) {
            section = Dump;
            continue;
        }
        if (line.empty() || line == u"UNBEKANNTE STEUERZEICHEN IM TEXT") {
            if (section == Attributes) section = Other;
            continue;
        }
        if (section == Attributes) {
            Require(StartsWith(line, u"  $") && line.size() >= 13);
            attributeSum += NumberAfter(line, 7);
        } else if (section == Dump) {
            // Offset, hex column of 49, the first bar at column 59, characters, closing bar.
            Require(line.size() >= 61 && line.size() <= 76);
            Require(line[6] == u' ' && line[7] == u' ' && line[57] == u' ' && line[58] == u'|');
            Require(line.back() == u'|');
        }
    }
    Require(escapes >= 0 && hardBreaks >= 0);
    Require(attributeSum == escapes);
    Require(escapes * AttributeEscapeLength <= length);
    long long carriageReturns = 0;
    for (std::size_t i = 0; i < size; ++i)
        carriageReturns += data[i] == HardBreak;
    Require(hardBreaks <= carriageReturns);

    RtfBuffer buffer;
    RenderReportRtf(buffer, report);
    Require(buffer.complete());
    const std::string_view rtf = buffer.content();
    for (const char c : rtf)
        Require(static_cast<unsigned char>(c) < 128);
    Require(rtf.size() >= 5 && rtf.substr(rtf.size() - 5) == "\\par}");
    return 0;
}
