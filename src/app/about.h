#pragma once
// The About box.
#include <string>

#include "app/platform/platform.h"

namespace brevikon {

constexpr std::u16string_view AboutTitle = u"Info";

std::u16string AboutText();
void ShowAbout(Platform& platform);

}  // namespace brevikon
