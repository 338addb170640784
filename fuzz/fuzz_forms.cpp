// The packaged forms on any bytes: the first byte picks the font mode, the rest is the
// document. The ODT and DOCX packages must be zip files whose directory finds its entries,
// the PDF a file whose cross-reference table finds every object it numbers; the text and the
// HTML page's body are those of the literal reading.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "document/document_output.h"
#include "support/reference_html.h"
#include "support/reference_text.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

std::uint32_t Read32(std::string_view bytes, std::size_t at) {
    Require(at + 4 <= bytes.size());
    return static_cast<std::uint8_t>(bytes[at]) | static_cast<std::uint8_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint8_t>(bytes[at + 2]) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 3])) << 24;
}

std::uint16_t Read16(std::string_view bytes, std::size_t at) {
    Require(at + 2 <= bytes.size());
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                      static_cast<std::uint8_t>(bytes[at + 1]) << 8);
}

void CheckZip(std::string_view zip) {
    Require(zip.size() > 22);
    const std::size_t end = zip.size() - 22;
    Require(Read32(zip, end) == 0x06054b50);
    std::size_t central = Read32(zip, end + 16);
    for (int i = 0; i < Read16(zip, end + 10); ++i) {
        Require(Read32(zip, central) == 0x02014b50);
        const std::uint16_t nameLength = Read16(zip, central + 28);
        const std::uint32_t local = Read32(zip, central + 42);
        Require(Read32(zip, local) == 0x04034b50);
        Require(zip.substr(local + 30, nameLength) == zip.substr(central + 46, nameLength));
        central += 46 + nameLength;
    }
    Require(central == end);
}

void CheckPdf(std::string_view pdf) {
    Require(pdf.substr(0, 9) == "%PDF-1.7\n");
    Require(pdf.size() > 7 && pdf.substr(pdf.size() - 6) == "%%EOF\n");
    const std::size_t start = pdf.rfind("startxref\n");
    Require(start != std::string_view::npos);
    const std::size_t table = std::strtoull(pdf.data() + start + 10, nullptr, 10);
    Require(pdf.substr(table, 7) == "xref\n0 ");
    const std::size_t count = std::strtoull(pdf.data() + table + 7, nullptr, 10);
    const std::size_t first = pdf.find('\n', table + 7) + 1 + 20;  // after the free entry
    for (std::size_t number = 1; number < count; ++number) {
        const std::size_t offset =
            std::strtoull(pdf.data() + first + 20 * (number - 1), nullptr, 10);
        const std::string object = std::to_string(number) + " 0 obj\n";
        Require(pdf.substr(offset, object.size()) == object);
    }
    Require(pdf.find("/Type /Page ") != std::string_view::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brevikon;
    if (size < 1) return 0;
    static DocumentOutput output;
    const FontMode fontMode = data[0] & 1 ? FontMode::Proportional : FontMode::Monospace;
    const DocumentInput input{size > 1 ? data + 1 : nullptr, static_cast<std::int64_t>(size - 1),
                              fontMode, u"FUZZ.DOC", true};
    Require(output.Produce(OutputFormat::Odt, input));
    CheckZip(output.bytes());
    Require(output.Produce(OutputFormat::Docx, input));
    CheckZip(output.bytes());
    Require(output.Produce(OutputFormat::Pdf, input));
    CheckPdf(output.bytes());
    Require(output.Produce(OutputFormat::Text, input));
    Require(output.bytes() ==
            test::ReferenceText(input.image, input.length, output.charTable(), input.reflow));
    Require(output.Produce(OutputFormat::Html, input));
    const std::string_view page = output.bytes();
    const std::size_t body = page.find("<body>\n") + 7;
    Require(page.substr(body, page.rfind("</body>") - body) ==
            test::ReferenceHtmlBody(input.image, input.length, output.charTable()));
    return 0;
}
