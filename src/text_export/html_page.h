#pragma once
// The fixed parts of an exported HTML page: head with inline style sheet, and page end.
#include <cstdint>
#include <string>
#include <string_view>

#include "format/font_mode.h"
#include "text_export/export_buffer.h"

namespace brevikon {

// Class names of the attribute spans; the style sheet gives each its look.
namespace html_class {
constexpr std::string_view Underline = "u";
constexpr std::string_view Bold = "b";
constexpr std::string_view Superscript = "sup";
constexpr std::string_view Subscript = "sub";
constexpr std::string_view Wide = "wide";
constexpr std::string_view Narrow = "narrow";
constexpr std::string_view Spacing = "sp";  // attribute bit $20
constexpr std::string_view Scaled = "scaled";
constexpr std::string_view Spacer = "spacer";
constexpr std::string_view Tab = "tab";
}  // namespace html_class

// Appends text with &, <, >, " and ' written as references; control characters (below 32
// and 127) are dropped, since HTML text may not contain them.
void AppendHtmlEscaped(ExportBuffer& out, std::string_view utf8);

// From the doctype to the opening <body>, for the given font mode; title is UTF-8.
void AppendHtmlPageStart(ExportBuffer& out, std::string_view title, FontMode fontMode);
void AppendHtmlPageEnd(ExportBuffer& out);

}  // namespace brevikon
