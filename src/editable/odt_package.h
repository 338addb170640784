#pragma once
// The document as an OpenDocument text (ODT): an editable copy whose paragraphs reflow.
#include <string>

#include "editable/package_text.h"

namespace brevikon {

// The whole package into out; false when memory ran out or the package would exceed what a
// zip can hold.
bool WriteOdtPackage(const EditableInput& input, std::string& out);

}  // namespace brevikon
