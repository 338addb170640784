#pragma once
// The texts that the common file dialogs take, built from the application's plain forms.
#include <string>
#include <string_view>

namespace brevikon {

// "A|*.a|B|*.b" becomes the dialog's label and pattern pairs, each text ended by a NUL and
// the list by a second NUL. A label without its pattern, and a pair with an empty part, are
// left out; an empty filter gives the empty text (no filter at all).
std::wstring FilterPairs(std::u16string_view filter);

struct DialogStart {
    std::wstring directory;  // up to and including the last '\'; empty without one
    std::wstring fileName;   // everything after it
};

// The dialog starts in the default path's directory with its file name preset. Only '\'
// splits, as the dialog itself reads paths.
DialogStart SplitDefaultPath(std::u16string_view defaultPath);

}  // namespace brevikon
