#include "pdf/page_layout.h"

#include <algorithm>

#include "format/document_format.h"

namespace brevikon {

namespace {

int Believed(int value, int low, int high, int fallback) {
    return value >= low && value <= high ? value : fallback;
}

}  // namespace

PageLayout LayoutOf(const std::uint8_t* image, std::int64_t length) {
    PageLayout layout;
    DocumentHeader header;
    const bool hasHeader = ReadDocumentHeader(image, length, header);
    if (hasHeader) {
        layout.charsPerInch =
            Believed(header.charsPerInch, MinCharsPerInch, MaxCharsPerInch, DefaultCharsPerInch);
        layout.lineSpacing =
            Believed(header.lineSpacing, MinLineSpacing, MaxLineSpacing, DefaultLineSpacing);
        layout.pageLength =
            Believed(header.pageLength, MinPageLength, MaxPageLength, DefaultPageLength);
    }
    layout.columnWidth = PointsPerInch / layout.charsPerInch;
    layout.fontSize = layout.columnWidth / MonospaceAdvancePerSize;
    layout.lineStep = LinePitch * layout.lineSpacing;
    // The paper is as long as the page's lines; the default is A4 exactly.
    layout.paperHeight =
        layout.pageLength == DefaultPageLength ? A4Height : layout.pageLength * LinePitch;
    // A right margin is believed when its block fits on the paper right of the left edge.
    const double room = layout.paperWidth - LeftEdge;
    if (hasHeader && header.rightMargin >= MinRightMargin &&
        header.rightMargin * layout.columnWidth <= room + 0.01) {
        layout.rightMargin = header.rightMargin;
        layout.blockWidth = header.rightMargin * layout.columnWidth;
    }
    // The page's text lines: its length less an inch at the top and at the bottom.
    layout.linesPerPage = std::max(1, (layout.pageLength - 12) / layout.lineSpacing);
    return layout;
}

}  // namespace brevikon
