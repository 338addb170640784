#pragma once
// The forms a loaded document can be written in: one row each, read by the converter's --to,
// its help text, its default output names and the walk's rule for earlier outputs. A new form
// is one writer in DocumentOutput and one row here.
#include <optional>
#include <span>
#include <string_view>

namespace brevikon {

enum class OutputFormat { Rtf, Text, Html, Report, ReportRtf, Odt, Docx, Pdf };

class DocumentOutput;
struct DocumentInput;

struct OutputForm {
    OutputFormat format;
    std::string_view name;         // as chosen with --to
    std::string_view description;  // for the help text (German)
    std::string_view extension;    // of the default output name
    // Fills the output's buffer; false when memory ran out (the output would be truncated).
    bool (DocumentOutput::*write)(const DocumentInput& input);
    // Made whole and then handed on, in one piece: small whatever the document (the reports),
    // or packed, so that only the compressed package is held (the office packages).
    bool madeWhole = false;
    // False where this build cannot make the form (the PDF's fonts are Linux packages).
    bool available = true;
};

// Every form, the default (RTF) first.
std::span<const OutputForm> OutputForms();
const OutputForm& FormOf(OutputFormat format);
std::optional<OutputFormat> FormatNamed(std::string_view name);

}  // namespace brevikon
