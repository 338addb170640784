#pragma once
// The menu bar and keyboard shortcuts of the main window, as data for the platform.
#include <span>

#include "app/platform/platform.h"

namespace brevikon {

std::span<const Menu> MainMenus();
std::span<const Shortcut> MainShortcuts();

}  // namespace brevikon
