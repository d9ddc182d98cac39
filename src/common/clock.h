#pragma once

#include <functional>

// The program's single clock for waits and measurements: seconds as a
// single-precision number. It is monotonic, so nothing misbehaves when the
// wall clock passes midnight or is set back.
class Clock {
public:
    static float timeOfDay();
    // Seconds as a double, for the waits themselves.
    static double now();

    // Tests replace the clock to measure and pause without waiting.
    using Source = std::function<double()>;
    static void setSource(Source source);
    static void resetSource();
};
