#pragma once
// The page as the word processor printed it, from the document's own header where its values
// are plausible: pitch, line spacing, page length and right margin. All lengths in points.
#include <cstdint>

namespace brevikon {

// The layout's defaults, and the ranges in which a header value is believed.
constexpr int DefaultCharsPerInch = 10;  // pica
constexpr int MinCharsPerInch = 5, MaxCharsPerInch = 20;
constexpr int DefaultLineSpacing = 1;
constexpr int MinLineSpacing = 1, MaxLineSpacing = 3;
constexpr int DefaultPageLength = 70;  // lines of 1/6 inch: A4's height
constexpr int MinPageLength = 20, MaxPageLength = 132;
constexpr int MinRightMargin = 10;  // columns: a narrower block is no letter's

constexpr double PointsPerInch = 72;
constexpr double LinePitch = PointsPerInch / 6;  // six lines per inch
constexpr double A4Width = 595.28;
constexpr double A4Height = 841.89;
constexpr double LeftEdge = PointsPerInch;  // the text block starts one inch from the left
constexpr double TopEdge = PointsPerInch;   // and one inch from the top
constexpr double TabStop = PointsPerInch / 2;
// A monospace face's advance is 0.6 of its size: at 10 characters per inch that is 12 pt.
constexpr double MonospaceAdvancePerSize = 0.6;

struct PageLayout {
    int charsPerInch = DefaultCharsPerInch;
    int lineSpacing = DefaultLineSpacing;
    int pageLength = DefaultPageLength;
    int rightMargin = 0;  // 0: not plausible, the block is as wide as the paper allows
    double paperWidth = A4Width;
    double paperHeight = A4Height;
    double blockWidth = A4Width - 2 * PointsPerInch;
    double columnWidth = PointsPerInch / DefaultCharsPerInch;
    double fontSize = 12;
    double lineStep = LinePitch;
    int linesPerPage = DefaultPageLength - 12;
};

// The layout of a document; a file shorter than the header, or a header value out of its
// range, gives that value's default.
PageLayout LayoutOf(const std::uint8_t* image, std::int64_t length);

}  // namespace brevikon
