#include "pdf/printed_pages.h"

#include <algorithm>
#include <new>

#include "base/text.h"
#include "base/version.h"
#include "format/document_format.h"
#include "package/zip_writer.h"
#include "pdf/page_layout.h"
#include "pdf/pdf_objects.h"
#include "text_export/character_forms.h"

namespace brevikon {

namespace {

constexpr char Hex[] = "0123456789ABCDEF";
// Bit $20 spaces letters by 3 pt, as the RTF's \expndtw60.
constexpr double LetterSpacing = 3;
constexpr double WideScale = 2, NarrowScale = 0.67;
// Where the baseline sits in a line's first 1/6 inch.
constexpr double BaselineInPitch = 0.75;

void AppendHex4(std::string& out, unsigned value) {
    for (int shift = 12; shift >= 0; shift -= 4)
        out += Hex[(value >> shift) & 0xF];
}

// Lays out the characters line by line and writes each full page as a content stream.
class PageSetter {
  public:
    PageSetter(const PageLayout& layout, FontMode mode, PdfFontSet& fonts, PdfObjects& objects,
               int pagesObject, int resourcesObject)
        : layout_(layout),
          monospace_(mode == FontMode::Monospace),
          fonts_(fonts),
          objects_(objects),
          pagesObject_(pagesObject),
          resourcesObject_(resourcesObject) {
        // A pitch wider than the font's own at 12 pt is printed stretched, not taller.
        fontSize_ = std::min(layout.fontSize, LinePitch);
        pitchScale_ = monospace_ ? layout.columnWidth / (MonospaceAdvancePerSize * fontSize_) : 1;
        x_ = LeftEdge;
    }

    bool ok() const { return ok_; }
    const std::vector<int>& pages() const { return pages_; }

    void Place(char16_t code, std::uint8_t flags) {
        const std::uint8_t attributes = VisibleAttributes(flags);
        const PdfFontSet::Choice choice = fonts_.Choose(code, attributes & Bold);
        const double size =
            (attributes & (Superscript | Subscript)) ? fontSize_ * RaisedSize : fontSize_;
        const double scale = (attributes & Wide)     ? WideScale
                             : (attributes & Narrow) ? NarrowScale
                                                     : 1;
        const double spacing = (attributes & Bit20) ? LetterSpacing : 0;
        const int width = fonts_.fonts()[choice.font].face.AdvanceOf(choice.glyph);
        const double drawn =
            monospace_ ? layout_.columnWidth * scale : width / 1000.0 * size * scale;
        // A line longer than the block goes on on the next line.
        if (x_ + drawn > LeftEdge + layout_.blockWidth + 0.01 && x_ > LeftEdge + 0.01) {
            EndLine();
        }
        if (open_ && (choice.font != segment_.font || attributes != segment_.attributes)) {
            Flush();
        }
        if (!open_) {
            segment_ = {choice.font, attributes, size, scale, spacing, x_, {}};
            open_ = true;
        }
        AppendHex4(segment_.glyphs, choice.glyph);
        if (monospace_) {
            // Every glyph on the grid of the pitch, whatever its face's own advance.
            const double adjustment = width - 1000 * layout_.columnWidth / (size * pitchScale_);
            if (adjustment > 0.005 || adjustment < -0.005) {
                segment_.glyphs += '>';
                AppendNumber(segment_.glyphs, adjustment);
                segment_.glyphs += '<';
            }
        }
        x_ += drawn + spacing;
        pageEmpty_ = false;
    }

    void Tab() {
        Flush();
        const double stop =
            LeftEdge + (static_cast<int>((x_ - LeftEdge) / TabStop + 1e-6) + 1) * TabStop;
        if (stop > LeftEdge + layout_.blockWidth + 0.01) {
            EndLine();
        } else {
            x_ = stop;
        }
        pageEmpty_ = false;
    }

    // A hard or soft break, or a line that wraps.
    void EndLine() {
        CloseLine();
        pageEmpty_ = false;
        if (++line_ >= layout_.linesPerPage) {
            EndPage();
            startedByOverflow_ = true;
        }
    }

    void PageBreak() {
        // A page that a full page has just begun and nothing is on yet is the new page.
        if (startedByOverflow_ && pageEmpty_ && line_ == 0) {
            startedByOverflow_ = false;
            return;
        }
        CloseLine();
        EndPage();
    }

    void Finish() {
        CloseLine();
        if (!(startedByOverflow_ && pageEmpty_ && line_ == 0) || pages_.empty()) EndPage();
    }

  private:
    struct Segment {
        int font = 0;
        std::uint8_t attributes = 0;
        double size = 0, scale = 1, spacing = 0;
        double x = 0;
        std::string glyphs;  // hexadecimal glyph numbers, with grid adjustments between
    };

    double Baseline() const {
        return layout_.paperHeight - TopEdge - line_ * layout_.lineStep -
               LinePitch * BaselineInPitch;
    }

    void Flush() {
        if (!open_) return;
        open_ = false;
        if (segment_.glyphs.empty()) return;
        if (!inText_) {
            content_ += "BT\n";
            inText_ = true;
        }
        const double y = Baseline();
        if (segment_.font != font_ || segment_.size != size_) {
            content_ += "/F" + std::to_string(segment_.font) + ' ';
            AppendNumber(content_, segment_.size);
            content_ += " Tf\n";
            font_ = segment_.font;
            size_ = segment_.size;
        }
        const double horizontal = 100 * segment_.scale * pitchScale_;
        if (horizontal != horizontal_) {
            AppendNumber(content_, horizontal);
            content_ += " Tz\n";
            horizontal_ = horizontal;
        }
        if (segment_.spacing != spacing_) {
            AppendNumber(content_, segment_.spacing);
            content_ += " Tc\n";
            spacing_ = segment_.spacing;
        }
        const double rise = (segment_.attributes & Superscript) ? fontSize_ * RaisedBy
                            : (segment_.attributes & Subscript) ? -fontSize_ * LoweredBy
                                                                : 0;
        if (rise != rise_) {
            AppendNumber(content_, rise);
            content_ += " Ts\n";
            rise_ = rise;
        }
        content_ += "1 0 0 1 ";
        AppendNumber(content_, segment_.x);
        content_ += ' ';
        AppendNumber(content_, y);
        content_ += " Tm\n[<";
        content_ += segment_.glyphs;
        content_ += ">] TJ\n";
        if (segment_.attributes & Underline) {
            const TrueTypeFont& face = fonts_.primary(segment_.attributes & Bold);
            const double thickness = std::max(face.underlineThickness(), 40) * fontSize_ / 1000;
            underlines_ += ' ';
            AppendNumber(underlines_, segment_.x);
            underlines_ += ' ';
            AppendNumber(underlines_,
                         y + face.underlinePosition() * fontSize_ / 1000 - thickness / 2);
            underlines_ += ' ';
            AppendNumber(underlines_, x_ - segment_.x - segment_.spacing);
            underlines_ += ' ';
            AppendNumber(underlines_, thickness);
            underlines_ += " re";
        }
        segment_.glyphs.clear();
    }

    void CloseLine() {
        Flush();
        if (inText_) content_ += "ET\n";
        inText_ = false;
        if (!underlines_.empty()) content_ += underlines_.substr(1) + " f\n";
        underlines_.clear();
        x_ = LeftEdge;
    }

    void EndPage() {
        const int contents = objects_.Reserve();
        const int page = objects_.Reserve();
        if (!objects_.WriteStream(contents, content_)) ok_ = false;
        std::string body =
            "<< /Type /Page /Parent " + std::to_string(pagesObject_) + " 0 R /MediaBox [0 0 ";
        AppendNumber(body, layout_.paperWidth);
        body += ' ';
        AppendNumber(body, layout_.paperHeight);
        body += "] /Resources " + std::to_string(resourcesObject_) + " 0 R /Contents " +
                std::to_string(contents) + " 0 R >>";
        objects_.Write(page, body);
        pages_.push_back(page);
        content_.clear();
        line_ = 0;
        pageEmpty_ = true;
        startedByOverflow_ = false;
        // A new content stream starts from the default text state.
        font_ = -1;
        size_ = 0;
        horizontal_ = 100;
        spacing_ = 0;
        rise_ = 0;
    }

    const PageLayout& layout_;
    const bool monospace_;
    PdfFontSet& fonts_;
    PdfObjects& objects_;
    const int pagesObject_, resourcesObject_;
    double fontSize_ = 12, pitchScale_ = 1;
    double x_ = 0;
    int line_ = 0;
    bool pageEmpty_ = true, startedByOverflow_ = false;
    bool open_ = false, inText_ = false, ok_ = true;
    Segment segment_;
    std::string content_, underlines_;
    int font_ = -1;
    double size_ = 0, horizontal_ = 100, spacing_ = 0, rise_ = 0;
    std::vector<int> pages_;
};

// Reads the text stream as printed: hard and soft breaks end lines, every space is kept and
// carries attributes by the RTF's rule, escapes give attributed characters.
void SetText(const PdfInput& input, PageSetter& setter) {
    const std::uint8_t* image = input.image;
    const std::int64_t length = input.length;
    if (!image || length < 1) return;
    std::int64_t position = FindTextStart(image, length);
    std::uint8_t lastEscape = 0;
    char unused[Utf8CharMaxLength];
    auto place = [&](std::uint8_t code, std::uint8_t attributes) {
        const char16_t character = (*input.table)[code];
        // What no other form shows (control characters) takes no room here either.
        if (FormatUtf8Char(character, unused) > 0) setter.Place(character, attributes);
    };
    while (position < length) {
        const std::uint8_t v = image[position];
        switch (v) {
            case EndOfText:
                return;
            case HardBreak:
                ++position;
                if (position < length && image[position] == LineFeed) ++position;
                setter.EndLine();
                lastEscape = 0;
                break;
            case SoftBreak:
                ++position;
                setter.EndLine();
                lastEscape = 0;
                break;
            case LineFeed:
                ++position;
                break;
            case PageBreak:
                ++position;
                setter.PageBreak();
                lastEscape = 0;
                break;
            case Tab:
                ++position;
                setter.Tab();
                lastEscape = 0;
                break;
            case Space:
            case AltSpace:
            case SoftSpace:
                ++position;
                place(Space, static_cast<std::uint8_t>(
                                 CarriedSpaceAttributes(image, length, position, lastEscape)));
                break;
            default:
                if (v == Escape && position + 3 < length && image[position + 1] == EscapeLetter) {
                    lastEscape = image[position + 2];
                    place(image[position + 3], lastEscape);
                    position += AttributeEscapeLength;
                    break;
                }
                ++position;
                if (v < Space) break;  // unknown control code, or an incomplete escape
                place(v, 0);
                lastEscape = 0;
                break;
        }
    }
}

// XML text of a title already cleaned of what XML does not allow (CleanTitle).
std::string Escaped(std::u16string_view title) {
    std::string xml;
    for (const char c : Utf16ToUtf8(title)) {
        switch (c) {
            case '&':
                xml += "&amp;";
                break;
            case '<':
                xml += "&lt;";
                break;
            case '>':
                xml += "&gt;";
                break;
            default:
                xml += c;
                break;
        }
    }
    return xml;
}

// The title as both the metadata and the document information give it: without control
// characters, as XML allows.
std::u16string CleanTitle(std::u16string_view title) {
    std::u16string clean;
    for (const char16_t unit : title) {
        if (unit >= 0x20 && !(unit >= 127 && unit <= 159) && !(unit >= 0xD800 && unit < 0xE000))
            clean += unit;
    }
    return clean;
}

std::string Metadata(const std::u16string& title, const std::string& producer) {
    return "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
           "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
           " <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
           "  <rdf:Description rdf:about=\"\" xmlns:pdfaid=\"http://www.aiim.org/pdfa/ns/id/\">\n"
           "   <pdfaid:part>2</pdfaid:part>\n"
           "   <pdfaid:conformance>B</pdfaid:conformance>\n"
           "  </rdf:Description>\n"
           "  <rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
           "   <dc:format>application/pdf</dc:format>\n"
           "   <dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">" +
           Escaped(title) +
           "</rdf:li></rdf:Alt></dc:title>\n"
           "  </rdf:Description>\n"
           "  <rdf:Description rdf:about=\"\" xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\">\n"
           "   <pdf:Producer>" +
           producer +
           "</pdf:Producer>\n"
           "  </rdf:Description>\n"
           "  <rdf:Description rdf:about=\"\" xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\">\n"
           "   <xmp:CreatorTool>" +
           producer +
           "</xmp:CreatorTool>\n"
           "  </rdf:Description>\n"
           " </rdf:RDF>\n"
           "</x:xmpmeta>\n"
           "<?xpacket end=\"w\"?>";
}

// Six capital letters that name a subset, from what it holds: the same subset, the same tag.
std::string SubsetTag(const std::vector<bool>& used, int font) {
    std::string bits(used.size(), '\0');
    for (std::size_t i = 0; i < used.size(); ++i)
        bits[i] = used[i] ? '1' : '0';
    std::uint32_t crc = Crc32(bits, static_cast<std::uint32_t>(font));
    std::string tag;
    for (int i = 0; i < 6; ++i) {
        tag += static_cast<char>('A' + crc % 26);
        crc /= 26;
    }
    return tag + "+";
}

std::string ToUnicodeMap(const UsedFont& font) {
    std::string map =
        "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
        "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
        "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
        "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    std::vector<std::pair<std::uint16_t, char16_t>> pairs;
    for (std::size_t g = 0; g < font.characterOf.size(); ++g) {
        if (font.usedGlyphs[g] && font.characterOf[g])
            pairs.emplace_back(static_cast<std::uint16_t>(g), font.characterOf[g]);
    }
    // At most 100 entries a block.
    for (std::size_t first = 0; first < pairs.size(); first += 100) {
        const std::size_t count = std::min<std::size_t>(100, pairs.size() - first);
        map += std::to_string(count) + " beginbfchar\n";
        for (std::size_t i = first; i < first + count; ++i) {
            map += '<';
            AppendHex4(map, pairs[i].first);
            map += "> <";
            AppendHex4(map, pairs[i].second);
            map += ">\n";
        }
        map += "endbfchar\n";
    }
    return map + "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
}

// The objects of one font used by the document; returns the number of its Type 0 font.
bool WriteFont(PdfObjects& objects, UsedFont& font, int index, int& type0) {
    const TrueTypeFont& face = font.face;
    const std::string name = SubsetTag(font.usedGlyphs, index) + face.postScriptName();
    type0 = objects.Reserve();
    const int descendant = objects.Reserve(), descriptor = objects.Reserve(),
              file = objects.Reserve(), toUnicode = objects.Reserve();
    objects.Write(type0, "<< /Type /Font /Subtype /Type0 /BaseFont /" + name +
                             " /Encoding /Identity-H /DescendantFonts [" +
                             std::to_string(descendant) + " 0 R] /ToUnicode " +
                             std::to_string(toUnicode) + " 0 R >>");
    std::string widths = "[";
    for (std::size_t g = 0; g < font.usedGlyphs.size(); ++g) {
        if (!font.usedGlyphs[g]) continue;
        widths += std::to_string(g) + " [" +
                  std::to_string(face.AdvanceOf(static_cast<std::uint16_t>(g))) + "] ";
    }
    widths += "]";
    objects.Write(descendant,
                  "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /" + name +
                      " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 "
                      ">> /FontDescriptor " +
                      std::to_string(descriptor) + " 0 R /DW 1000 /W " + widths +
                      " /CIDToGIDMap /Identity >>");
    const auto box = face.boundingBox();
    const bool serif = face.postScriptName().find("Serif") != std::string::npos &&
                       face.postScriptName().find("Sans") == std::string::npos;
    const int flags = 4 | (face.fixedPitch() ? 1 : 0) | (serif ? 2 : 0);
    objects.Write(
        descriptor,
        "<< /Type /FontDescriptor /FontName /" + name + " /Flags " + std::to_string(flags) +
            " /FontBBox [" + std::to_string(box[0]) + ' ' + std::to_string(box[1]) + ' ' +
            std::to_string(box[2]) + ' ' + std::to_string(box[3]) + "] /ItalicAngle " +
            std::to_string(face.italicAngle()) + " /Ascent " + std::to_string(face.ascent()) +
            " /Descent " + std::to_string(face.descent()) + " /CapHeight " +
            std::to_string(face.capHeight()) + " /StemV " + (face.bold() ? "140" : "80") +
            " /FontFile2 " + std::to_string(file) + " 0 R >>");
    const std::string subset = face.Subset(font.usedGlyphs);
    return objects.WriteStream(file, subset, "/Length1 " + std::to_string(subset.size())) &&
           objects.WriteStream(toUnicode, ToUnicodeMap(font));
}

std::string Identifier(std::string_view content) {
    std::string id;
    for (std::uint32_t seed : {0x42u, 0x72u, 0x65u, 0x76u}) {
        std::uint32_t crc = Crc32(content, seed);
        for (int shift = 28; shift >= 0; shift -= 4)
            id += Hex[(crc >> shift) & 0xF];
    }
    return id;
}

}  // namespace

bool WritePdfDocument(const PdfInput& input, PdfFontSet& fonts, std::string& out) {
    try {
        if (!fonts.Load(input.fontMode)) return false;
        fonts.StartDocument();
        const PageLayout layout = LayoutOf(input.image, input.length);
        PdfObjects objects(out);
        const int catalog = objects.Reserve(), pages = objects.Reserve(),
                  metadata = objects.Reserve(), intent = objects.Reserve(),
                  profile = objects.Reserve(), info = objects.Reserve(),
                  resources = objects.Reserve();
        PageSetter setter(layout, input.fontMode, fonts, objects, pages, resources);
        SetText(input, setter);
        setter.Finish();
        if (!setter.ok()) return false;

        std::string fontList;
        for (std::size_t i = 0; i < fonts.fonts().size(); ++i) {
            UsedFont& font = fonts.fonts()[i];
            if (std::find(font.usedGlyphs.begin(), font.usedGlyphs.end(), true) ==
                font.usedGlyphs.end()) {
                continue;
            }
            int type0 = 0;
            if (!WriteFont(objects, font, static_cast<int>(i), type0)) return false;
            fontList += " /F" + std::to_string(i) + ' ' + std::to_string(type0) + " 0 R";
        }
        objects.Write(resources, "<< /Font <<" + fontList + " >> /ProcSet [/PDF /Text] >>");
        std::string kids;
        for (const int page : setter.pages())
            kids += std::to_string(page) + " 0 R ";
        objects.Write(pages, "<< /Type /Pages /Kids [" + kids + "] /Count " +
                                 std::to_string(setter.pages().size()) + " >>");

        const std::u16string title = CleanTitle(input.title);
        const std::string producer = std::string("brevikon-rtf ") + BREVIKON_VERSION;
        std::u16string producer16(producer.begin(), producer.end());
        if (!objects.WriteStream(metadata, Metadata(title, producer),
                                 "/Type /Metadata /Subtype /XML", true) ||
            !objects.WriteStream(profile, fonts.srgbProfile(), "/N 3")) {
            return false;
        }
        objects.Write(intent,
                      "<< /Type /OutputIntent /S /GTS_PDFA1 /OutputConditionIdentifier "
                      "(sRGB IEC61966-2.1) /Info (sRGB IEC61966-2.1) /DestOutputProfile " +
                          std::to_string(profile) + " 0 R >>");
        objects.Write(info, "<< /Title " + PdfTextString(title) + " /Producer " +
                                PdfTextString(producer16) + " /Creator " +
                                PdfTextString(producer16) + " >>");
        objects.Write(catalog, "<< /Type /Catalog /Pages " + std::to_string(pages) +
                                   " 0 R /Metadata " + std::to_string(metadata) +
                                   " 0 R /OutputIntents [" + std::to_string(intent) +
                                   " 0 R] /Lang (de) /ViewerPreferences << /DisplayDocTitle "
                                   "true >> >>");
        objects.Finish(catalog, info, Identifier(out));
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace brevikon
