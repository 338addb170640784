#pragma once
// Window sizes travel as device-independent units of 1/96 inch; the screen wants device
// pixels. The resolution is measured once at start-up, separately for each axis.
#include <cstdint>

namespace brevikon {

constexpr int UnitsPerInch = 96;

struct DisplayScale {
    int dpiX = UnitsPerInch;
    int dpiY = UnitsPerInch;
};

// units x dpi / 96, rounded to the nearest pixel (halves away from zero).
std::int64_t UnitsToPixels(std::int64_t units, int dpi);
// pixels x 96 / dpi, rounded to the nearest unit (halves away from zero).
std::int64_t PixelsToUnits(std::int64_t pixels, int dpi);

}  // namespace brevikon
