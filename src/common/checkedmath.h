#pragma once

#include <cstdint>

// Every stored result of the model and the plotting is checked here, so that
// an overflow or a division by zero becomes a RunError instead of an inf or a
// NaN quietly drawn off the screen.
class CheckedMath {
public:
    // Throws Overflow for inf and NaN (an invalid operation reports as an
    // overflow, as 0/0 always has).
    static double check(double value);
    // a / b; b == 0 gives DivisionByZero, or Overflow when a is 0 too.
    static double divide(double a, double b);
    static float toSingle(double value);

    // Nearest whole number, ties to even; out of range gives Overflow.
    static std::int16_t toInt16(double value);
    static std::int32_t toInt32(double value);
    // Rounded to the given number of decimals, ties to even.
    static double roundTo(double value, int decimals);
    static double roundHalfEven(double value);
    // A checked 16-bit increment.
    static std::int16_t increment(std::int16_t value);
};
