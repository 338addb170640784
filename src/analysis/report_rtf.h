#pragma once
// The structure report as a small RTF document in a fixed-pitch font, so that its columns
// line up in the viewer.
#include <string_view>

#include "rtf/rtf_buffer.h"

namespace brevikon {

// Replaces the buffer's contents with the report rendered in 9-point Consolas, one paragraph,
// each LF of the report a line break.
void RenderReportRtf(RtfBuffer& buffer, std::u16string_view report);

}  // namespace brevikon
