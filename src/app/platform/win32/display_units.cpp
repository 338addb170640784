#include "app/platform/win32/display_units.h"

namespace brevikon {

namespace {

// numerator / denominator rounded to nearest, halves away from zero; denominator > 0.
std::int64_t RoundedQuotient(std::int64_t numerator, std::int64_t denominator) {
    if (numerator < 0) return -RoundedQuotient(-numerator, denominator);
    const std::int64_t quotient = numerator / denominator;
    const std::int64_t remainder = numerator % denominator;
    return 2 * remainder >= denominator ? quotient + 1 : quotient;
}

}  // namespace

std::int64_t UnitsToPixels(std::int64_t units, int dpi) {
    if (dpi <= 0) dpi = UnitsPerInch;
    return RoundedQuotient(units * dpi, UnitsPerInch);
}

std::int64_t PixelsToUnits(std::int64_t pixels, int dpi) {
    if (dpi <= 0) dpi = UnitsPerInch;
    return RoundedQuotient(pixels * UnitsPerInch, dpi);
}

}  // namespace brevikon
