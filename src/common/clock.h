#pragma once

#include <functional>

// The program's single clock for waits and measurements, in seconds. It is
// monotonic, so nothing misbehaves when the wall clock passes midnight or
// is set back.
class Clock {
public:
    // Single precision: a day after start one step of it is 7.8 ms, so
    // measure with now() and since() instead.
    static float timeOfDay();
    // Seconds as a double: the start of a wait or of a measurement.
    static double now();
    // Seconds since `start` (a reading of now()), as the single-precision
    // number the program shows and logs: fine-grained however long the
    // process has run.
    static float since(double start);

    // Tests replace the clock to measure and pause without waiting.
    using Source = std::function<double()>;
    static void setSource(Source source);
    static void resetSource();
};
