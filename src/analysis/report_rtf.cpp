#include "analysis/report_rtf.h"

namespace brevikon {

void RenderReportRtf(RtfBuffer& buffer, std::u16string_view report) {
    ResetRtfBuffer(buffer);
    AppendRtf(buffer, "{\\rtf1\\ansi\\ansicpg1252\\uc1\\deff0\r\n");
    AppendRtf(buffer, "{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset0 Consolas;}}\r\n");
    AppendRtf(buffer, "\\viewkind4\\fet0\\sectd\\pard\\ql\\f0\\fs18 ");
    AppendRtfText(buffer, report);
    AppendRtf(buffer, "\\par}");
}

}  // namespace brevikon
