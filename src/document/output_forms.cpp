#include "document/output_forms.h"

#include "document/document_output.h"

namespace brevikon {

namespace {

constexpr OutputForm Forms[] = {
    {OutputFormat::Rtf, "rtf", "Vorgabe", ".rtf", &DocumentOutput::WriteRtf},
    {OutputFormat::Text, "text", "UTF-8-Text", ".utf8.txt", &DocumentOutput::WriteText},
    {OutputFormat::Html, "html", "HTML-Seite", ".html", &DocumentOutput::WriteHtml},
    {OutputFormat::Report, "report", "Strukturanalyse als Text", ".report.txt",
     &DocumentOutput::WriteReport},
    {OutputFormat::ReportRtf, "report-rtf", "Strukturanalyse als RTF", ".rtf",
     &DocumentOutput::WriteReportRtf},
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
