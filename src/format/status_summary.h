#pragma once
// The StatusSummary: where the text starts, and the layout numbers of the header.
#include <cstdint>
#include <string>

namespace brevikon {

// "Text ab N", followed by the four layout numbers of the header when the file has one.
std::u16string StatusSummary(const std::uint8_t* image, std::int64_t length,
                             std::int64_t textStart);

}  // namespace brevikon
