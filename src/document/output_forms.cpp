#include "document/output_forms.h"

#include "document/document_output.h"

namespace brevikon {

namespace {

// The browser page is built without zlib, the Windows programs without the PDF's fonts.
#if defined(BREVIKON_WITHOUT_PACKAGES)
constexpr bool PackagesAvailable = false;
#else
constexpr bool PackagesAvailable = true;
#endif
#if defined(_WIN32)
constexpr bool PdfAvailable = false;
#else
constexpr bool PdfAvailable = PackagesAvailable;
#endif

constexpr OutputForm Forms[] = {
    {OutputFormat::Rtf, "rtf", "Vorgabe", ".rtf", &DocumentOutput::WriteRtf},
    {OutputFormat::Text, "text", "UTF-8-Text", ".utf8.txt", &DocumentOutput::WriteText},
    {OutputFormat::Html, "html", "HTML-Seite", ".html", &DocumentOutput::WriteHtml},
    {OutputFormat::Report, "report", "Strukturanalyse als Text", ".report.txt",
     &DocumentOutput::WriteReport, true},
    {OutputFormat::ReportRtf, "report-rtf", "Strukturanalyse als RTF", ".rtf",
     &DocumentOutput::WriteReportRtf, true},
    {OutputFormat::Odt, "odt", "OpenDocument-Text", ".odt", &DocumentOutput::WriteOdt, true,
     PackagesAvailable},
    {OutputFormat::Docx, "docx", "Word-Dokument", ".docx", &DocumentOutput::WriteDocx, true,
     PackagesAvailable},
    {OutputFormat::Pdf, "pdf", "PDF/A-Seiten wie gedruckt", ".pdf", &DocumentOutput::WritePdf, true,
     PdfAvailable},
};

}  // namespace

std::span<const OutputForm> OutputForms() {
    return Forms;
}

const OutputForm& FormOf(OutputFormat format) {
    for (const OutputForm& form : Forms) {
        if (form.format == format) return form;
    }
    return Forms[0];
}

std::optional<OutputFormat> FormatNamed(std::string_view name) {
    for (const OutputForm& form : Forms) {
        if (form.name == name) return form.format;
    }
    return std::nullopt;
}

}  // namespace brevikon
