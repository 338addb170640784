// The editable copies: paragraphs read for reflowing, the zip container, and the XML of the
// ODT and DOCX packages as far as programs reading them depend on details (blanks, runs,
// page breaks). What office programs make of whole packages is checked with them.
#include <gtest/gtest.h>
#include <zlib.h>

#include <map>
#include <string>

#include "editable/docx_package.h"
#include "editable/odt_package.h"
#include "format/char_table.h"
#include "package/zip_writer.h"
#include "text_export/convert_to_text.h"

namespace brevikon {
namespace {

CharTable Table() {
    CharTable table{};
    BuildCharTable(table);
    return table;
}

// The reading as a trace: [ ] a paragraph (P: on a new page), T a tab, {A:x} text x with
// visible attributes A (hex), plain text as it is.
struct TraceWriter {
    std::string trace;
    void BeginParagraph(bool pageBreakBefore) { trace += pageBreakBefore ? "[P" : "["; }
    void EndParagraph() { trace += "]"; }
    void WriteText(std::string_view utf8, std::uint8_t attributes) {
        if (!attributes) {
            trace += utf8;
            return;
        }
        char mark[8];
        std::snprintf(mark, sizeof mark, "{%X:", attributes);
        trace += mark + std::string(utf8) + "}";
    }
    void WriteTab() { trace += "T"; }
};

std::string Reflowed(const std::string& document) {
    const CharTable table = Table();
    const Utf8Forms forms(table);
    TraceWriter writer;
    ReflowedParagraphReader reader(forms, writer);
    reader.Read(reinterpret_cast<const std::uint8_t*>(document.data()),
                static_cast<std::int64_t>(document.size()));
    return writer.trace;
}

TEST(ReflowedParagraphs, ReadAsTheRtfWithoutFillerSpaces) {
    const std::pair<std::string, std::string> cases[] = {
        // Justification's fillers (160) go; typed spaces (32, 128) stay.
        {"die \xa0wir \xa0\xa0heute\r\n", "[die wir heute]"},
        {"a\x80 b\r", "[a  b]"},
        // A soft break is one blank and the spaces after it vanish, also fillers and tabs
        // keep that state.
        {"ein\x8d  Wort\r", "[ein Wort]"},
        {"ein\x8d\xa0\tWort\r", "[ein TWort]"},
        // Page breaks: the next paragraph starts the page; one at the end leaves an empty one.
        {"a\x0c"
         "b\r",
         "[a][Pb]"},
        {"a\r\x0c", "[a][P]"},
        {"\x0c\x0c", "[P]"},
        {"a\r\r", "[a][]"},
        {"", ""},
        // Attributes as they look: superscript wins over subscript, wide over narrow, bit $80
        // is not shown; a space carries the attributes of the escapes on both its sides.
        {"\x1bS\x0cx\x1bS\x50y\x1bS\x80z\r", "[{4:x}{10:y}z]"},
        {"\x1bS\x01"
         "a \x1bS\x01"
         "b \x1bS\x02"
         "c\r",
         "[{1:a}{1: }{1:b} {2:c}]"},
        // Nothing after the end marker; an incomplete escape at the end shows nothing.
        {"ab\x1a"
         "cd",
         "[ab]"},
        {"ab\x1bS", "[abS]"},
    };
    for (const auto& [document, expected] : cases) {
        EXPECT_EQ(Reflowed(document), expected) << document;
    }
}

TEST(ReflowedText, DropsOnlyTheFillers) {
    const CharTable table = Table();
    const std::string document =
        "die \xa0wir\x8d \xa0heute \x80"
        "da.\r\n";
    ExportBuffer out;
    ASSERT_TRUE(TextExporter(table, TextExporter::DropFillerSpaces)
                    .Convert(reinterpret_cast<const std::uint8_t*>(document.data()),
                             static_cast<std::int64_t>(document.size()), out));
    EXPECT_EQ(out.content(), "die wir heute  da.\n");
    ASSERT_TRUE(TextExporter(table).Convert(reinterpret_cast<const std::uint8_t*>(document.data()),
                                            static_cast<std::int64_t>(document.size()), out));
    EXPECT_EQ(out.content(), "die  wir heute  da.\n");
}

std::uint32_t Read32(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint8_t>(bytes[at]) | static_cast<std::uint8_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint8_t>(bytes[at + 2]) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + 3])) << 24;
}
std::uint16_t Read16(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                      static_cast<std::uint8_t>(bytes[at + 1]) << 8);
}

// The entries of a container, in order, read through its central directory and inflated,
// each checked against its CRC.
std::vector<std::pair<std::string, std::string>> Entries(const std::string& zip) {
    std::vector<std::pair<std::string, std::string>> entries;
    const std::size_t end = zip.size() - 22;
    EXPECT_EQ(Read32(zip, end), 0x06054b50u);
    std::size_t central = Read32(zip, end + 16);
    for (int i = 0; i < Read16(zip, end + 10); ++i) {
        EXPECT_EQ(Read32(zip, central), 0x02014b50u);
        const std::uint16_t method = Read16(zip, central + 10);
        const std::uint32_t crc = Read32(zip, central + 16);
        const std::uint32_t packed = Read32(zip, central + 20);
        const std::uint32_t size = Read32(zip, central + 24);
        const std::uint16_t nameLength = Read16(zip, central + 28);
        const std::uint32_t local = Read32(zip, central + 42);
        const std::string name = zip.substr(central + 46, nameLength);
        EXPECT_EQ(zip.substr(local + 30, nameLength), name);
        const std::size_t data = local + 30 + nameLength + Read16(zip, local + 28);
        std::string content(size, '\0');
        if (method == 0) {
            content = zip.substr(data, packed);
        } else {
            EXPECT_EQ(method, 8);
            z_stream z{};
            inflateInit2(&z, -MAX_WBITS);
            z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zip.data() + data));
            z.avail_in = packed;
            z.next_out = reinterpret_cast<Bytef*>(content.data());
            z.avail_out = size;
            EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END) << name;
            inflateEnd(&z);
        }
        EXPECT_EQ(Crc32(content), crc) << name;
        entries.emplace_back(name, content);
        central += 46 + nameLength + Read16(zip, central + 30) + Read16(zip, central + 32);
    }
    return entries;
}

TEST(ZipWriter, EntriesReadBackAndTheSameBytesEveryTime) {
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
    std::string large;
    for (int i = 0; i < 200000; ++i)
        large += "<text:p>Zeile " + std::to_string(i) + "</text:p>\n";
    auto build = [&] {
        ZipWriter zip;
        zip.AddStored("mimetype", "application/vnd.oasis.opendocument.text");
        DeflatedEntry entry;
        // In pieces smaller and larger than a deflate step.
        for (std::size_t at = 0; at < large.size(); at += 70001)
            EXPECT_TRUE(entry.Append(std::string_view(large).substr(at, 70001)));
        EXPECT_TRUE(zip.AddDeflated("content.xml", entry));
        EXPECT_TRUE(zip.AddDeflated("leer.xml", ""));
        std::string out;
        EXPECT_TRUE(zip.Finish(out));
        return out;
    };
    const std::string zip = build();
    EXPECT_EQ(zip, build());
    EXPECT_LT(zip.size(), large.size() / 4);
    EXPECT_EQ(zip.substr(30, 47), "mimetypeapplication/vnd.oasis.opendocument.text");
    const auto entries = Entries(zip);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].second, large);
    EXPECT_EQ(entries[2].second, "");
}

std::map<std::string, std::string> Package(bool docx, const std::string& document,
                                           std::string_view title = "BRIEF.TXT") {
    const CharTable table = Table();
    const Utf8Forms forms(table);
    const EditableInput input{reinterpret_cast<const std::uint8_t*>(document.data()),
                              static_cast<std::int64_t>(document.size()), FontMode::Monospace,
                              title, &forms};
    std::string out;
    EXPECT_TRUE(docx ? WriteDocxPackage(input, out) : WriteOdtPackage(input, out));
    std::map<std::string, std::string> parts;
    for (auto& [name, content] : Entries(out))
        parts[name] = content;
    return parts;
}

// What stands between two markers of a part.
std::string Between(const std::string& text, const std::string& from, const std::string& to) {
    const std::size_t start = text.find(from);
    if (start == std::string::npos) return "(no " + from + ")";
    const std::size_t end = text.find(to, start + from.size());
    return text.substr(start + from.size(), end - start - from.size());
}

TEST(OdtPackage, BlanksRunsAndPagesAsOdfReadsThem) {
    const auto parts = Package(false,
                               "  a  b\t<&>\r\x1bS\x02"
                               "F\x1bS\x02"
                               "e \x1bS\x02t\tx\x0c\x0c");
    EXPECT_EQ(Between(parts.at("content.xml"), "<office:text>\n", "  </office:text>"),
              // ODF collapses blanks: each after a blank or at a start is text:s.
              "<text:p text:style-name=\"Standard\"><text:s/><text:s/>a <text:s/>b<text:tab/>"
              "&lt;&amp;&gt;</text:p>\n"
              "<text:p text:style-name=\"Standard\"><text:span text:style-name=\"Attr02\">Fe"
              " t</text:span><text:tab/>x</text:p>\n"
              "<text:p text:style-name=\"P1\"></text:p>\n");
    EXPECT_NE(parts.at("styles.xml")
                  .find("<style:style style:name=\"Attr02\" "
                        "style:display-name=\"Brevikon Fett\""),
              std::string::npos);
    EXPECT_NE(parts.at("meta.xml").find("<dc:title>BRIEF.TXT</dc:title>"), std::string::npos);
    EXPECT_NE(parts.at("META-INF/manifest.xml").find("content.xml"), std::string::npos);
}

TEST(DocxPackage, RunsTabsAndPagesAsWordReadsThem) {
    const auto parts = Package(true,
                               " \x1bS\x05"
                               "a\t\x1bS\x05"
                               "b\r\x0c"
                               "c&\r",
                               "A<\x01.DOC");
    EXPECT_EQ(Between(parts.at("word/document.xml"), "<w:body>\n", "<w:sectPr>"),
              "<w:p><w:r><w:t xml:space=\"preserve\"> </w:t></w:r>"
              "<w:r><w:rPr><w:rStyle w:val=\"Attr05\"/></w:rPr><w:t xml:space=\"preserve\">a"
              "</w:t></w:r><w:r><w:tab/></w:r>"
              "<w:r><w:rPr><w:rStyle w:val=\"Attr05\"/></w:rPr><w:t xml:space=\"preserve\">b"
              "</w:t></w:r></w:p>\n"
              "<w:p><w:pPr><w:pageBreakBefore/></w:pPr><w:r><w:t xml:space=\"preserve\">c&amp;"
              "</w:t></w:r></w:p>\n");
    // Underline and superscript in the order of the schema.
    EXPECT_EQ(Between(parts.at("word/styles.xml"), "w:styleId=\"Attr05\">", "</w:style>"),
              "<w:name w:val=\"Brevikon Unterstrichen, Hochgestellt\"/><w:rPr><w:u "
              "w:val=\"single\"/><w:vertAlign w:val=\"superscript\"/></w:rPr>");
    // A control character of a file name has no place in XML.
    EXPECT_NE(parts.at("docProps/core.xml").find("<dc:title>A&lt;.DOC</dc:title>"),
              std::string::npos);
    EXPECT_EQ(parts.count("[Content_Types].xml"), 1u);
}

}  // namespace
}  // namespace brevikon
