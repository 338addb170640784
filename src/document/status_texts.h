#pragma once
// The status bar's texts and the zoom steps: the viewer and the browser page show them, the
// converter prints the file line with -v.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/text.h"

namespace brevikon {

// Zoom in percent: a multiple of ZoomStep within ZoomMinimum..ZoomMaximum.
constexpr std::int64_t ZoomDefault = 100;
constexpr std::int64_t ZoomMinimum = 40;
constexpr std::int64_t ZoomMaximum = 400;
constexpr std::int64_t ZoomStep = 10;

constexpr std::u16string_view NoFileStatusText = u"Keine Datei geoeffnet";

// The zoom field: "Zoom 100 %".
inline std::u16string ZoomStatusText(std::int64_t zoomPercent) {
    return u"Zoom " + DecimalText(zoomPercent) + u" %";
}

// "NAME   (LENGTH Bytes)   SUMMARY" while a document is shown.
inline std::u16string DocumentStatusLine(std::u16string_view fileName, std::int64_t fileLength,
                                         std::u16string_view summary) {
    std::u16string line(fileName);
    line += u"   (";
    line += DecimalText(fileLength);
    line += u" Bytes)   ";
    line += summary;
    return line;
}

// "NAME   -   Strukturanalyse" while its analysis is shown.
inline std::u16string AnalysisStatusLine(std::u16string_view fileName) {
    return std::u16string(fileName) + u"   -   Strukturanalyse";
}

}  // namespace brevikon
