#pragma once
// The document as an Office Open XML word-processing document (DOCX): an editable copy whose
// paragraphs reflow.
#include <string>

#include "editable/package_text.h"

namespace brevikon {

// The whole package into out; false when memory ran out or the package would exceed what a
// zip can hold.
bool WriteDocxPackage(const EditableInput& input, std::string& out);

}  // namespace brevikon
