#include "document/document_output.h"

#include <array>
#include <new>
#include <optional>

#include "analysis/report_rtf.h"
#include "analysis/structure_report.h"
#include "base/text.h"
#include "document/status_texts.h"
#if !defined(BREVIKON_WITHOUT_PACKAGES)
#include "editable/docx_package.h"
#include "editable/odt_package.h"
#include "pdf/printed_pages.h"
#endif
#include "format/document_format.h"
#include "format/status_summary.h"
#include "format/text_pieces.h"
#include "rtf/convert_document.h"
#if !defined(__EMSCRIPTEN__)
#include "document/piece_stream.h"
#endif

namespace brevikon {

CharTable DocumentOutput::BuiltCharTable() {
    CharTable table{};
    BuildCharTable(table);
    return table;
}

bool DocumentOutput::Produce(OutputFormat format, const DocumentInput& input) {
    bytes_ = {};
    return (this->*FormOf(format).write)(input);
}

#if !defined(__EMSCRIPTEN__)
namespace {

class RtfPieces : public PieceConverter {
  public:
    RtfPieces(const DocumentInput& input, const CharTable& table, const RtfByteForms& forms,
              Heap& heap)
        : buffer_(heap), conversion_{input.image, input.length, input.fontMode, &table,
                                     &buffer_,    &attributes_, &forms} {}
    bool Convert(const TextPiece& piece, bool& ended) override {
        return ConvertRtfPiece(conversion_, piece, ended);
    }
    std::string_view bytes() const override { return buffer_.content(); }

  private:
    RtfBuffer buffer_;
    std::uint8_t attributes_ = 0;
    RtfConversion conversion_;
};

class TextPieces : public PieceConverter {
  public:
    TextPieces(const DocumentInput& input, const TextExporter& exporter)
        : image_(input.image), exporter_(exporter) {}
    bool Convert(const TextPiece& piece, bool& ended) override {
        return exporter_.ConvertPiece(image_, piece, buffer_, ended);
    }
    std::string_view bytes() const override { return buffer_.content(); }

  private:
    const std::uint8_t* image_;
    const TextExporter& exporter_;
    ExportBuffer buffer_;
};

class HtmlPieces : public PieceConverter {
  public:
    HtmlPieces(const DocumentInput& input, const HtmlExporter& exporter, std::string_view title)
        : input_(input), exporter_(exporter), title_(title) {}
    bool Convert(const TextPiece& piece, bool& ended) override {
        return exporter_.ConvertPiece(input_.image, piece, input_.fontMode, title_, buffer_, ended);
    }
    std::string_view bytes() const override { return buffer_.content(); }

  private:
    const DocumentInput& input_;
    const HtmlExporter& exporter_;
    std::string_view title_;
    ExportBuffer buffer_;
};

// Pieces held at once: three for each thread, so that a thread goes on with the next while
// its pieces wait for the other thread's before them, or for the block being written. Where
// the two cores run at different speeds, the faster one is not held to the slower one's pace.
// (32 MiB realistic, medians of 25 against cp: four held 1.70 x, six 1.57 x, eight 1.54 x.)
constexpr std::size_t PiecesHeld = 6;

template <typename Converter, typename... Arguments>
bool StreamWith(std::int64_t textStart, const std::vector<std::int64_t>& ends, ByteSink& sink,
                Arguments&&... arguments) {
    // Each made from the same arguments, none moved from.
    std::array<std::optional<Converter>, PiecesHeld> converters;
    std::array<PieceConverter*, PiecesHeld> taking{};
    for (std::size_t i = 0; i < PiecesHeld; ++i)
        taking[i] = &converters[i].emplace(arguments...);
    return StreamPieces(textStart, ends, taking, sink);
}

}  // namespace
#endif

bool DocumentOutput::StreamInPieces(OutputFormat format, const DocumentInput& input, ByteSink& sink,
                                    bool& whole) {
#if defined(__EMSCRIPTEN__)
    // No second thread to convert on in the browser page.
    (void)format, (void)input, (void)sink, (void)whole;
    return false;
#else
    if (format != OutputFormat::Rtf && format != OutputFormat::Text &&
        format != OutputFormat::Html) {
        return false;
    }
    if (!input.image || input.length < pieceRule_.from) return false;
    const std::int64_t textStart = FindTextStart(input.image, input.length);
    if (input.length - textStart < pieceRule_.from) return false;
    const std::vector<std::int64_t> ends =
        FindPieceEnds(input.image, input.length, textStart, pieceRule_.size);
    if (ends.size() < 2) return false;
    switch (format) {
        case OutputFormat::Rtf: {
            summary_ = StatusSummary(input.image, input.length, textStart);
            statusLine_ = DocumentStatusLine(input.fileName, input.length, summary_);
            whole = StreamWith<RtfPieces>(textStart, ends, sink, input, charTable_, rtfForms_,
                                          *rtf_.heap);
            return true;
        }
        case OutputFormat::Text: {
            const TextExporter& exporter = input.reflow ? reflowedTextExporter_ : textExporter_;
            whole = StreamWith<TextPieces>(textStart, ends, sink, input, exporter);
            break;
        }
        default: {
            const std::string title = Utf16ToUtf8(input.fileName);
            whole = StreamWith<HtmlPieces>(textStart, ends, sink, input, htmlExporter_,
                                           std::string_view(title));
            break;
        }
    }
    if (whole) SetDocumentStatusLine(input);
    return true;
#endif
}

bool DocumentOutput::Stream(OutputFormat format, const DocumentInput& input, ByteSink& sink,
                            std::size_t blockSize) {
    bytes_ = {};
    if (bool whole = false; StreamInPieces(format, input, sink, whole)) return whole;
    // The buffers hand on to sink only while this call runs, also when a conversion throws:
    // a later Produce must never reach a sink that is gone.
    struct Detach {
        DocumentOutput& output;
        ~Detach() {
            output.rtf_.drain = nullptr;
            output.export_.StreamTo(nullptr, 0);
        }
    } detach{*this};
    bool whole = false;
    switch (format) {
        case OutputFormat::Rtf:
            rtf_.drain = &sink;
            rtf_.drainAt = static_cast<std::int64_t>(blockSize);
            // What is left in the buffer after the last full block goes too.
            whole = WriteRtf(input) && (bytes_.empty() || sink.Put(bytes_));
            break;
        case OutputFormat::Text:
        case OutputFormat::Html:
            export_.StreamTo(&sink, blockSize);
            whole = Produce(format, input);  // the exports hand on their last piece themselves
            break;
        default:
            whole = Produce(format, input) && (bytes_.empty() || sink.Put(bytes_));
            break;
    }
    bytes_ = {};
    return whole;
}

void DocumentOutput::SetDocumentStatusLine(const DocumentInput& input) {
    statusLine_ = DocumentStatusLine(
        input.fileName, input.length,
        StatusSummary(input.image, input.length, FindTextStart(input.image, input.length)));
}

bool DocumentOutput::WriteRtf(const DocumentInput& input) {
    // Every paragraph opens with no attribute; the conversion needs no state of an earlier one.
    std::uint8_t currentAttributes = 0;
    RtfConversion conversion{input.image, input.length,       input.fontMode, &charTable_,
                             &rtf_,       &currentAttributes, &rtfForms_};
    conversion.keepInitialStorage = true;  // one buffer for file after file
    summary_ = ConvertDocumentToRtf(conversion);
    statusLine_ = DocumentStatusLine(input.fileName, input.length, summary_);
    if (!rtf_.complete()) return false;
    bytes_ = rtf_.content();
    return true;
}

bool DocumentOutput::WriteText(const DocumentInput& input) {
    const TextExporter& exporter = input.reflow ? reflowedTextExporter_ : textExporter_;
    if (!exporter.Convert(input.image, input.length, export_) || !export_.complete()) {
        return false;
    }
    bytes_ = export_.content();
    SetDocumentStatusLine(input);
    return true;
}

bool DocumentOutput::WriteHtml(const DocumentInput& input) {
    if (!htmlExporter_.Convert(input.image, input.length, input.fontMode,
                               Utf16ToUtf8(input.fileName), export_) ||
        !export_.complete()) {
        return false;
    }
    bytes_ = export_.content();
    SetDocumentStatusLine(input);
    return true;
}

bool DocumentOutput::WriteReport(const DocumentInput& input) {
    report_ = BuildStructureReport(input.image, input.length, input.fileName);
    text_ = Utf16ToUtf8(report_);
    bytes_ = text_;
    statusLine_ = AnalysisStatusLine(input.fileName);
    return true;
}

bool DocumentOutput::WriteReportRtf(const DocumentInput& input) {
    report_ = BuildStructureReport(input.image, input.length, input.fileName);
    RenderReportRtf(rtf_, report_);
    statusLine_ = AnalysisStatusLine(input.fileName);
    if (!rtf_.complete()) return false;
    bytes_ = rtf_.content();
    return true;
}

#if defined(BREVIKON_WITHOUT_PACKAGES)
// A build without zlib makes none of the packaged forms; the table of forms says so.
bool DocumentOutput::WriteEditable(const DocumentInput&, PackageWriter) {
    return false;
}
bool DocumentOutput::WriteOdt(const DocumentInput&) {
    return false;
}
bool DocumentOutput::WriteDocx(const DocumentInput&) {
    return false;
}
bool DocumentOutput::WritePdf(const DocumentInput&) {
    return false;
}
#else
bool DocumentOutput::WriteEditable(const DocumentInput& input, PackageWriter write) {
    const std::string title = Utf16ToUtf8(input.fileName);
    const EditableInput editable{input.image, input.length, input.fontMode, title, &utf8Forms_};
    try {
        if (!write(editable, text_)) return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    bytes_ = text_;
    SetDocumentStatusLine(input);
    return true;
}

bool DocumentOutput::WriteOdt(const DocumentInput& input) {
    return WriteEditable(input, &WriteOdtPackage);
}

bool DocumentOutput::WriteDocx(const DocumentInput& input) {
    return WriteEditable(input, &WriteDocxPackage);
}

bool DocumentOutput::WritePdf(const DocumentInput& input) {
    if (!WritePdfDocument({input.image, input.length, input.fontMode, input.fileName, &charTable_},
                          pdfFonts_, text_)) {
        return false;
    }
    bytes_ = text_;
    SetDocumentStatusLine(input);
    return true;
}

#endif

}  // namespace brevikon
