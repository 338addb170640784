#pragma once
// The plain-text structure analysis of a loaded document: file facts, header fields, counts of
// the format's codes, attribute bytes in use, unexplained control codes, and two hex dumps.
#include <cstdint>
#include <string>
#include <string_view>

namespace brevikon {

// The whole report when no document is loaded (no line feed).
constexpr std::u16string_view NoDocumentReport = u"Keine Datei geoeffnet.";

// Bytes shown by the two dumps at the end of the report.
constexpr std::int64_t HeadDumpCount = 64;
constexpr std::int64_t TextDumpCount = 128;

// The report as UTF-16 text with LF line ends; fileName is shown on its "Datei" line.
// NoDocumentReport when image is null or length below 1.
std::u16string BuildStructureReport(const std::uint8_t* image, std::int64_t length,
                                    std::u16string_view fileName);

}  // namespace brevikon
