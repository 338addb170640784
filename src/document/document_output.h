#pragma once
// Turns one loaded document into the bytes of any output form.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/byte_sink.h"
#include "base/heap.h"
#include "document/output_forms.h"
#include "editable/package_text.h"
#include "editable/reflowed_paragraphs.h"
#include "format/char_table.h"
#include "format/font_mode.h"
#include "pdf/pdf_fonts.h"
#include "rtf/convert_document.h"
#include "rtf/rtf_buffer.h"
#include "text_export/convert_to_html.h"
#include "text_export/convert_to_text.h"
#include "text_export/export_buffer.h"

namespace brevikon {

// A loaded document and how it is to look.
struct DocumentInput {
    const std::uint8_t* image = nullptr;
    std::int64_t length = 0;
    FontMode fontMode = FontMode::Monospace;
    std::u16string_view fileName;  // shown in the report and the status line, the HTML title
    // Text without the filler spaces of justified lines, as the editable forms always are.
    bool reflow = false;
};

// How much of a streamed output is held before it is handed on: large enough that writes are
// few, small beside the document itself.
constexpr std::size_t StreamBlockSize = std::size_t{4} << 20;

// Stream converts a text of at least `from` bytes in pieces of `size` to twice `size` bytes
// on two threads (RTF, text, HTML). A piece's output is held until its turn, six at most,
// so the pieces are small: even where every byte writes the most it can (about 40 bytes of
// HTML for a byte of a wide run), a piece's output stays near 10 MiB; a realistic one is some
// 150 KiB.
struct PieceRule {
    std::int64_t from = std::int64_t{4} << 20;
    std::int64_t size = std::int64_t{1} << 17;
};

// Reusable per worker, and the viewer's one: the character table and the buffers live as long
// as it does.
class DocumentOutput {
  public:
    // The RTF buffer takes its storage from heap.
    explicit DocumentOutput(Heap& heap = ProcessHeap()) : rtf_(heap) {}
    DocumentOutput(const DocumentOutput&) = delete;
    DocumentOutput& operator=(const DocumentOutput&) = delete;

    // Converts; false when memory ran out (the output would be truncated).
    bool Produce(OutputFormat format, const DocumentInput& input);
    // Converts into sink as the output is made, in pieces of about blockSize bytes, so that
    // an output of any size needs no more memory than that: the bytes of Produce, handed on
    // instead of held. False when memory ran out or sink refused a piece. Forms made whole
    // (OutputForm::madeWhole) are handed on in one piece; a large text (PieceRule) in the
    // output of its pieces.
    bool Stream(OutputFormat format, const DocumentInput& input, ByteSink& sink,
                std::size_t blockSize = StreamBlockSize);
    void SetPieceRule(const PieceRule& rule) { pieceRule_ = rule; }

    // The output bytes of the last successful Produce.
    std::string_view bytes() const { return bytes_; }
    // The text that the viewer's status-bar field 0 shows for this view of the document.
    const std::u16string& statusLine() const { return statusLine_; }
    // The StatusSummary of the last RTF conversion, also of one that ran out of memory.
    const std::u16string& summary() const { return summary_; }
    // The StructureReport text of the last report form.
    const std::u16string& report() const { return report_; }
    // The buffer the RTF forms are written into: the viewer shows it as it stands, also
    // when an append was lost (and says so).
    RtfBuffer& rtf() { return rtf_; }
    CharTable& charTable() { return charTable_; }

    // The writers of the table of forms.
    bool WriteRtf(const DocumentInput& input);
    bool WriteText(const DocumentInput& input);
    bool WriteHtml(const DocumentInput& input);
    bool WriteReport(const DocumentInput& input);
    bool WriteReportRtf(const DocumentInput& input);
    bool WriteOdt(const DocumentInput& input);
    bool WriteDocx(const DocumentInput& input);
    bool WritePdf(const DocumentInput& input);

  private:
    static CharTable BuiltCharTable();
    using PackageWriter = bool (*)(const EditableInput&, std::string&);
    bool WriteEditable(const DocumentInput& input, PackageWriter write);
    // The RTF, text and HTML of a large text in pieces on two threads; false (and nothing
    // handed on) when the text is not cut into pieces.
    bool StreamInPieces(OutputFormat format, const DocumentInput& input, ByteSink& sink,
                        bool& whole);
    // The line of the DocumentView: the text forms are read from the same place as the RTF.
    void SetDocumentStatusLine(const DocumentInput& input);

    CharTable charTable_ = BuiltCharTable();
    RtfByteForms rtfForms_ = BuildRtfByteForms(charTable_);
    TextExporter textExporter_{charTable_};
    TextExporter reflowedTextExporter_{charTable_, TextExporter::DropFillerSpaces};
    Utf8Forms utf8Forms_{charTable_};
    PdfFontSet pdfFonts_;  // read at the first PDF
    HtmlExporter htmlExporter_{charTable_};
    RtfBuffer rtf_;
    ExportBuffer export_;
    std::string text_;
    std::string_view bytes_;
    std::u16string statusLine_;
    std::u16string summary_;
    std::u16string report_;
    PieceRule pieceRule_;
};

}  // namespace brevikon
