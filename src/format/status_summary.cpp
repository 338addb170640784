#include "format/status_summary.h"

#include "base/text.h"
#include "format/document_format.h"

namespace brevikon {

std::u16string StatusSummary(const std::uint8_t* image, std::int64_t length,
                             std::int64_t textStart) {
    std::u16string summary = u"Text ab " + DecimalText(textStart);
    DocumentHeader header;
    if (ReadDocumentHeader(image, length, header)) {
        summary += u"  |  R/Rand " + DecimalText(header.rightMargin);
        summary += u"  Blatt " + DecimalText(header.pageLength);
        summary += u"  " + DecimalText(header.charsPerInch);
        summary += u" Z/Zoll  Abstand " + DecimalText(header.lineSpacing);
    }
    return summary;
}

}  // namespace brevikon
