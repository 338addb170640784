#pragma once
// The names in a dropped file list, as the application takes them.
#include <windows.h>

#include <shellapi.h>

#include <string>

namespace brevikon {

// The names of the drop in drop order, joined by LF (code 10); empty for an empty list.
std::u16string JoinDroppedNames(HDROP drop);

}  // namespace brevikon
