#pragma once
// The status bar's file line: the viewer shows it, the converter prints it with -v.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/text.h"

namespace brevikon {

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
