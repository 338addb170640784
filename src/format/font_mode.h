#pragma once
// The two faces a document is shown and written in.
#include <cstdint>

namespace brevikon {

// Monospace: Courier New 10 pt. Proportional: Times New Roman 12 pt.
enum class FontMode : std::uint8_t { Monospace, Proportional };

}  // namespace brevikon
