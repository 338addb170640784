#include "cli/document_output.h"

#include "analysis/report_rtf.h"
#include "analysis/structure_report.h"
#include "app/path_names.h"
#include "app/status_texts.h"
#include "format/document_format.h"
#include "rtf/convert_document.h"

namespace brevikon {

CharTable DocumentOutput::BuiltCharTable() {
    CharTable table{};
    BuildCharTable(table);
    return table;
}

bool DocumentOutput::Produce(OutputFormat format, FontMode fontMode, const std::uint8_t* image,
                             std::int64_t length, std::u16string_view pathAsGiven) {
    bytes_ = {};
    const std::u16string name = FileNamePart(pathAsGiven, false);
    switch (format) {
        case OutputFormat::Rtf: {
            std::uint8_t currentAttributes = 0;
            const std::u16string summary = ConvertDocumentToRtf(
                {image, length, fontMode, &charTable_, &rtf_, &currentAttributes});
            if (!rtf_.complete()) return false;
            bytes_ = rtf_.content();
            statusLine_ = DocumentStatusLine(name, length, summary);
            return true;
        }
        case OutputFormat::Text:
        case OutputFormat::Html: {
            const bool complete =
                format == OutputFormat::Text
                    ? textExporter_.Convert(image, length, export_)
                    : htmlExporter_.Convert(image, length, fontMode, Utf16ToUtf8(name), export_);
            if (!complete || !export_.complete()) return false;
            bytes_ = export_.content();
            // The same line as for the RTF: the text is read from the same place.
            statusLine_ = DocumentStatusLine(
                name, length, StatusSummary(image, length, FindTextStart(image, length)));
            return true;
        }
        case OutputFormat::Report:
        case OutputFormat::ReportRtf: {
            const std::u16string report = BuildStructureReport(image, length, pathAsGiven);
            statusLine_ = AnalysisStatusLine(name);
            if (format == OutputFormat::Report) {
                text_ = Utf16ToUtf8(report);
                bytes_ = text_;
                return true;
            }
            RenderReportRtf(rtf_, report);
            if (!rtf_.complete()) return false;
            bytes_ = rtf_.content();
            return true;
        }
    }
    return false;
}

}  // namespace brevikon
