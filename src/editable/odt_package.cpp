#include "editable/odt_package.h"

#include "editable/character_styles.h"

namespace brevikon {

namespace {

constexpr std::string_view MimeType = "application/vnd.oasis.opendocument.text";

constexpr std::string_view Manifest =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\""
    " manifest:version=\"1.2\">\n"
    " <manifest:file-entry manifest:full-path=\"/\" manifest:version=\"1.2\""
    " manifest:media-type=\"application/vnd.oasis.opendocument.text\"/>\n"
    " <manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>\n"
    " <manifest:file-entry manifest:full-path=\"styles.xml\" manifest:media-type=\"text/xml\"/>\n"
    " <manifest:file-entry manifest:full-path=\"meta.xml\" manifest:media-type=\"text/xml\"/>\n"
    "</manifest:manifest>\n";

constexpr std::string_view Namespaces =
    " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
    " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
    " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
    " xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\""
    " xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\""
    " xmlns:meta=\"urn:oasis:names:tc:opendocument:xmlns:meta:1.0\""
    " xmlns:dc=\"http://purl.org/dc/elements/1.1/\""
    " office:version=\"1.2\"";

std::string MetaXml(const EditableInput& input) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-meta";
    xml += Namespaces;
    xml += ">\n <office:meta>\n  <meta:generator>";
    AppendXmlEscaped(xml, GeneratorName());
    xml += "</meta:generator>\n  <dc:title>";
    AppendXmlEscaped(xml, input.title);
    xml += "</dc:title>\n </office:meta>\n</office:document-meta>\n";
    return xml;
}

std::string TextProperties(std::uint8_t attributes) {
    std::string properties = "<style:text-properties";
    if (attributes & Underline) {
        properties +=
            " style:text-underline-style=\"solid\" style:text-underline-width=\"auto\""
            " style:text-underline-color=\"font-color\"";
    }
    if (attributes & Bold) properties += " fo:font-weight=\"bold\"";
    if (attributes & Superscript) properties += " style:text-position=\"super 58%\"";
    if (attributes & Subscript) properties += " style:text-position=\"sub 58%\"";
    if (attributes & Wide) {
        properties += " style:text-scale=\"" + std::to_string(WideScalePercent) + "%\"";
    }
    if (attributes & Narrow) {
        properties += " style:text-scale=\"" + std::to_string(NarrowScalePercent) + "%\"";
    }
    if (attributes & Bit20) {
        properties += " fo:letter-spacing=\"" + std::to_string(LetterSpacingTwips / 20) + "pt\"";
    }
    return properties + "/>";
}

std::string StylesXml(const EditableInput& input) {
    const bool monospace = input.fontMode == FontMode::Monospace;
    const std::string font = monospace ? "Courier New" : "Times New Roman";
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-styles";
    xml += Namespaces;
    xml += ">\n <office:font-face-decls>\n  <style:font-face style:name=\"" + font +
           "\" svg:font-family=\"&apos;" + font + "&apos;\" style:font-family-generic=\"" +
           (monospace ? "modern" : "roman") + "\" style:font-pitch=\"" +
           (monospace ? "fixed" : "variable") +
           "\"/>\n </office:font-face-decls>\n <office:styles>\n"
           "  <style:default-style style:family=\"paragraph\">\n"
           "   <style:paragraph-properties fo:margin-top=\"0cm\" fo:margin-bottom=\"0cm\""
           " style:tab-stop-distance=\"1.27cm\"/>\n"
           "   <style:text-properties style:font-name=\"" +
           font + "\" fo:font-size=\"" + (monospace ? "10pt" : "12pt") +
           "\" fo:language=\"de\" fo:country=\"DE\"/>\n"
           "  </style:default-style>\n"
           "  <style:style style:name=\"Standard\" style:family=\"paragraph\"/>\n";
    for (const CharacterStyle& style : CharacterStyles()) {
        xml += "  <style:style style:name=\"" + style.name + "\" style:display-name=\"" +
               style.displayName + "\" style:family=\"text\">" + TextProperties(style.attributes) +
               "</style:style>\n";
    }
    xml +=
        " </office:styles>\n <office:automatic-styles>\n"
        "  <style:page-layout style:name=\"A4\">\n"
        "   <style:page-layout-properties fo:page-width=\"21cm\" fo:page-height=\"29.7cm\""
        " fo:margin-top=\"2.54cm\" fo:margin-bottom=\"2.54cm\" fo:margin-left=\"2.54cm\""
        " fo:margin-right=\"2.54cm\"/>\n"
        "  </style:page-layout>\n </office:automatic-styles>\n <office:master-styles>\n"
        "  <style:master-page style:name=\"Standard\" style:page-layout-name=\"A4\"/>\n"
        " </office:master-styles>\n</office:document-styles>\n";
    return xml;
}

// The paragraphs as text:p elements; runs of one attribute combination as spans of its
// character style. ODF collapses blanks, so each blank after a blank or at a paragraph's
// start is written as text:s.
class OdtParagraphs {
  public:
    explicit OdtParagraphs(XmlPart& part) : part_(part) {}

    void BeginParagraph(bool pageBreakBefore) {
        part_.Append(pageBreakBefore ? "<text:p text:style-name=\"P1\">"
                                     : "<text:p text:style-name=\"Standard\">");
        blankBefore_ = true;
    }
    void EndParagraph() {
        SetAttributes(0);
        part_.Append("</text:p>\n");
    }
    void WriteText(std::string_view utf8, std::uint8_t attributes) {
        SetAttributes(attributes);
        if (utf8 == " ") {
            part_.Append(blankBefore_ ? "<text:s/>" : " ");
            blankBefore_ = true;
            return;
        }
        part_.AppendEscaped(utf8);
        blankBefore_ = false;
    }
    void WriteTab() {
        SetAttributes(0);
        part_.Append("<text:tab/>");
        blankBefore_ = false;
    }

  private:
    void SetAttributes(std::uint8_t attributes) {
        if (attributes == current_) return;
        if (current_) part_.Append("</text:span>");
        if (attributes) {
            part_.Append("<text:span text:style-name=\"" + CharacterStyleName(attributes) + "\">");
        }
        current_ = attributes;
    }

    XmlPart& part_;
    std::uint8_t current_ = 0;
    bool blankBefore_ = true;
};

bool WriteContent(const EditableInput& input, DeflatedEntry& entry) {
    XmlPart part(entry);
    part.Append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document-content");
    part.Append(Namespaces);
    part.Append(
        ">\n <office:automatic-styles>\n"
        "  <style:style style:name=\"P1\" style:family=\"paragraph\""
        " style:parent-style-name=\"Standard\">\n   <style:paragraph-properties "
        "fo:break-before=\"page\"/>\n  </style:style>\n"
        " </office:automatic-styles>\n <office:body>\n  <office:text>\n");
    OdtParagraphs paragraphs(part);
    ReflowedParagraphReader reader(*input.forms, paragraphs);
    reader.Read(input.image, input.length);
    part.Append("  </office:text>\n </office:body>\n</office:document-content>\n");
    return part.Finish();
}

}  // namespace

bool WriteOdtPackage(const EditableInput& input, std::string& out) {
    ZipWriter zip;
    // The mimetype first and stored, so the file names its type at a fixed place.
    zip.AddStored("mimetype", MimeType);
    DeflatedEntry content;
    if (!WriteContent(input, content) || !zip.AddDeflated("content.xml", content)) return false;
    return zip.AddDeflated("styles.xml", StylesXml(input)) &&
           zip.AddDeflated("meta.xml", MetaXml(input)) &&
           zip.AddDeflated("META-INF/manifest.xml", Manifest) && zip.Finish(out);
}

}  // namespace brevikon
