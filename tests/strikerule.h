#pragma once

#include <tuple>

// The strike-step rule every way of running keeps: name, dt, t, the
// disaster's time, the step struck (-1: none), worked out by hand from
// time / dt rounded ties to even, from 1 to the last step, t / dt rounded
// the same way.
inline const std::tuple<const char*, double, double, double, int> StrikeRule[] = {
    {"before the first step", 0.1, 5, 0.04, -1},
    {"the first step", 0.1, 5, 0.1, 1},
    {"a tie, even below", 0.5, 15, 5.25, 10},
    {"a tie, even above", 0.5, 15, 5.75, 12},
    {"the last of 10,6 steps", 0.0943, 1, 1, 11},
    {"past the end", 0.1, 5, 5.1, -1},
    {"t and dt negative", -0.1, -5, -2.5, 25},
    {"at time 0", 0.1, 5, 0, -1},
};
