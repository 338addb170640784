#include "editable/docx_package.h"

#include "editable/character_styles.h"

namespace brevikon {

namespace {

constexpr std::string_view ContentTypes =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\""
    " ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
    "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
    "<Override PartName=\"/word/styles.xml\" ContentType=\"application/"
    "vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/>"
    "<Override PartName=\"/docProps/core.xml\""
    " ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>"
    "<Override PartName=\"/docProps/app.xml\" ContentType=\"application/"
    "vnd.openxmlformats-officedocument.extended-properties+xml\"/>"
    "</Types>\n";

constexpr std::string_view PackageRelationships =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
    "relationships/officeDocument\" Target=\"word/document.xml\"/>"
    "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/package/2006/"
    "relationships/metadata/core-properties\" Target=\"docProps/core.xml\"/>"
    "<Relationship Id=\"rId3\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
    "relationships/extended-properties\" Target=\"docProps/app.xml\"/>"
    "</Relationships>\n";

constexpr std::string_view DocumentRelationships =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
    "relationships/styles\" Target=\"styles.xml\"/>"
    "</Relationships>\n";

constexpr std::string_view WordNamespace =
    "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"";

std::string CoreProperties(const EditableInput& input) {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/"
        "core-properties\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>";
    AppendXmlEscaped(xml, input.title);
    return xml + "</dc:title></cp:coreProperties>\n";
}

std::string AppProperties() {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/"
        "extended-properties\"><Application>";
    AppendXmlEscaped(xml, GeneratorName());
    return xml + "</Application></Properties>\n";
}

// Run properties in the order the schema gives them.
std::string RunProperties(std::uint8_t attributes) {
    std::string properties;
    if (attributes & Bold) properties += "<w:b/>";
    if (attributes & Bit20) {
        properties += "<w:spacing w:val=\"" + std::to_string(LetterSpacingTwips) + "\"/>";
    }
    if (attributes & Wide)
        properties += "<w:w w:val=\"" + std::to_string(WideScalePercent) + "\"/>";
    if (attributes & Narrow) {
        properties += "<w:w w:val=\"" + std::to_string(NarrowScalePercent) + "\"/>";
    }
    if (attributes & Underline) properties += "<w:u w:val=\"single\"/>";
    if (attributes & Superscript) properties += "<w:vertAlign w:val=\"superscript\"/>";
    if (attributes & Subscript) properties += "<w:vertAlign w:val=\"subscript\"/>";
    return properties;
}

std::string Styles(const EditableInput& input) {
    const bool monospace = input.fontMode == FontMode::Monospace;
    const std::string font = monospace ? "Courier New" : "Times New Roman";
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<w:styles ";
    xml += WordNamespace;
    xml += "><w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii=\"" + font + "\" w:hAnsi=\"" +
           font + "\" w:cs=\"" + font + "\"/><w:sz w:val=\"" + (monospace ? "20" : "24") +
           "\"/><w:lang w:val=\"de-DE\"/></w:rPr></w:rPrDefault>"
           "<w:pPrDefault><w:pPr><w:spacing w:after=\"0\" w:line=\"240\" w:lineRule=\"auto\"/>"
           "</w:pPr></w:pPrDefault></w:docDefaults>"
           "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Standard\">"
           "<w:name w:val=\"Normal\"/></w:style>";
    for (const CharacterStyle& style : CharacterStyles()) {
        xml += "<w:style w:type=\"character\" w:customStyle=\"1\" w:styleId=\"" + style.name +
               "\"><w:name w:val=\"" + style.displayName + "\"/><w:rPr>" +
               RunProperties(style.attributes) + "</w:rPr></w:style>";
    }
    return xml + "</w:styles>\n";
}

// The paragraphs as w:p elements; runs of one attribute combination as w:r with its
// character style.
class DocxParagraphs {
  public:
    explicit DocxParagraphs(XmlPart& part) : part_(part) {}

    void BeginParagraph(bool pageBreakBefore) {
        part_.Append(pageBreakBefore ? "<w:p><w:pPr><w:pageBreakBefore/></w:pPr>" : "<w:p>");
    }
    void EndParagraph() {
        CloseRun();
        part_.Append("</w:p>\n");
    }
    void WriteText(std::string_view utf8, std::uint8_t attributes) {
        if (!runOpen_ || attributes != current_) OpenRun(attributes);
        if (!textOpen_) {
            part_.Append("<w:t xml:space=\"preserve\">");
            textOpen_ = true;
        }
        part_.AppendEscaped(utf8);
    }
    void WriteTab() {
        if (!runOpen_ || current_ != 0) OpenRun(0);
        CloseText();
        part_.Append("<w:tab/>");
    }

  private:
    void OpenRun(std::uint8_t attributes) {
        CloseRun();
        part_.Append(attributes ? "<w:r><w:rPr><w:rStyle w:val=\"" +
                                      CharacterStyleName(attributes) + "\"/></w:rPr>"
                                : std::string("<w:r>"));
        current_ = attributes;
        runOpen_ = true;
    }
    void CloseText() {
        if (textOpen_) part_.Append("</w:t>");
        textOpen_ = false;
    }
    void CloseRun() {
        CloseText();
        if (runOpen_) part_.Append("</w:r>");
        runOpen_ = false;
    }

    XmlPart& part_;
    std::uint8_t current_ = 0;
    bool runOpen_ = false;
    bool textOpen_ = false;
};

bool WriteDocument(const EditableInput& input, DeflatedEntry& entry) {
    XmlPart part(entry);
    part.Append("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<w:document ");
    part.Append(WordNamespace);
    part.Append("><w:body>\n");
    DocxParagraphs paragraphs(part);
    ReflowedParagraphReader reader(*input.forms, paragraphs);
    reader.Read(input.image, input.length);
    // A4 with margins of one inch, as the RTF's defaults.
    part.Append(
        "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:top=\"1440\""
        " w:right=\"1440\" w:bottom=\"1440\" w:left=\"1440\" w:header=\"708\" w:footer=\"708\""
        " w:gutter=\"0\"/></w:sectPr>\n</w:body></w:document>\n");
    return part.Finish();
}

}  // namespace

bool WriteDocxPackage(const EditableInput& input, std::string& out) {
    ZipWriter zip;
    DeflatedEntry document;
    if (!zip.AddDeflated("[Content_Types].xml", ContentTypes) ||
        !zip.AddDeflated("_rels/.rels", PackageRelationships) || !WriteDocument(input, document) ||
        !zip.AddDeflated("word/document.xml", document)) {
        return false;
    }
    return zip.AddDeflated("word/_rels/document.xml.rels", DocumentRelationships) &&
           zip.AddDeflated("word/styles.xml", Styles(input)) &&
           zip.AddDeflated("docProps/core.xml", CoreProperties(input)) &&
           zip.AddDeflated("docProps/app.xml", AppProperties()) && zip.Finish(out);
}

}  // namespace brevikon
