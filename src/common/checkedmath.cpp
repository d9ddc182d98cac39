#include "common/checkedmath.h"

#include "common/runerror.h"

#include <cfenv>
#include <cmath>
#include <limits>

double CheckedMath::check(double value) {
    if (!std::isfinite(value))
        throw RunError(RunError::Overflow);
    return value;
}

double CheckedMath::divide(double a, double b) {
    if (b == 0.0)
        throw RunError(a == 0.0 || std::isnan(a) ? RunError::Overflow : RunError::DivisionByZero);
    return check(a / b);
}

float CheckedMath::toSingle(double value) {
    check(value);
    if (std::fabs(value) > double(std::numeric_limits<float>::max()))
        throw RunError(RunError::Overflow);
    return float(value);
}

double CheckedMath::roundHalfEven(double value) {
    // nearbyint honours the current rounding mode, which nothing here changes
    // from the default round-to-nearest-even.
    return std::nearbyint(value);
}

std::int16_t CheckedMath::toInt16(double value) {
    check(value);
    const double r = roundHalfEven(value);
    if (r < -32768.0 || r > 32767.0)
        throw RunError(RunError::Overflow);
    return std::int16_t(r);
}

std::int32_t CheckedMath::toInt32(double value) {
    check(value);
    const double r = roundHalfEven(value);
    if (r < -2147483648.0 || r > 2147483647.0)
        throw RunError(RunError::Overflow);
    return std::int32_t(r);
}

double CheckedMath::roundTo(double value, int decimals) {
    check(value);
    // Scaling by a power of ten is exact enough for the 1 to 8 decimals used
    // here, and it keeps the usual decimal ties (2.5 -> 2, 0.125 -> 0.12)
    // ties to even as written on paper.
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9007199254740992.0)
        return value; // already has no digits beyond the requested ones
    return roundHalfEven(scaled) / scale;
}

std::int16_t CheckedMath::increment(std::int16_t value) {
    if (value == std::numeric_limits<std::int16_t>::max())
        throw RunError(RunError::Overflow);
    return std::int16_t(value + 1);
}
