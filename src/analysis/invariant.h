#pragma once

#include "analysis/figure.h"
#include "model/trajectory.h"

#include <vector>

// The quantity the exact flow keeps,
//     V(x, y) = a2·x − k2·ln x + a1·y − k1·ln y,
// and what follows from it: the equilibrium where V is least, and the
// change a disaster makes to V. The lab measures every integrator against
// it; dt in the rates is not used here.
class Invariant {
public:
    using Rates = Trajectory::Rates;

    // Null, with the reason, for a population that is not positive.
    static Figure<double> value(const Rates& r, double x, double y);
    // V without the check, for callers that have checked already.
    static double raw(const Rates& r, double x, double y);

    // Whether all four coefficients are positive: only then is the
    // equilibrium inside the quadrant and every orbit closed around it.
    static bool closedOrbits(const Rates& r);
    // Null, with the reason naming the coefficients, unless closedOrbits.
    static Figure<PhasePoint> equilibrium(const Rates& r);
    // The period of a small orbit around the equilibrium, 2π/√(k1·k2).
    static Figure<double> smallOrbitPeriod(const Rates& r);

    // ΔV if (x, y) were divided by d at every step 0..count − 1 of a run, in
    // closed form, (k1 + k2)·ln d − (1 − 1/d)·(a2·x + a1·y), defined for any
    // x and y so that a view can show it along a run; empty for a divisor
    // that is not positive.
    static std::vector<double> strikeJumps(const Rates& r, const double* x, const double* y,
                                           std::size_t count, double divisor);
};
