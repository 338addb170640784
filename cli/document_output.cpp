#include "cli/document_output.h"

#include "analysis/report_rtf.h"
#include "analysis/structure_report.h"
#include "app/path_names.h"
#include "base/text.h"
#include "rtf/convert_document.h"

namespace brevikon {

DocumentOutput::DocumentOutput() {
    BuildCharTable(charTable_);
}

bool DocumentOutput::Produce(OutputFormat format, std::int64_t fontMode, const std::uint8_t* image,
                             std::int64_t length, std::u16string_view pathAsGiven) {
    bytes_ = {};
    const std::u16string name = FileNamePart(pathAsGiven, false);
    switch (format) {
        case OutputFormat::Rtf: {
            std::int64_t currentAttributes = 0;
            const std::u16string summary = ConvertDocumentToRtf(
                {image, length, fontMode, &charTable_, &rtf_, &currentAttributes});
            if (!rtf_.complete()) return false;
            bytes_ = rtf_.content();
            statusLine_ = name + u"   (" + DecimalText(length) + u" Bytes)   " + summary;
            return true;
        }
        case OutputFormat::Report:
        case OutputFormat::ReportRtf: {
            const std::u16string report = BuildStructureReport(image, length, pathAsGiven);
            statusLine_ = name + u"   -   Strukturanalyse";
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
