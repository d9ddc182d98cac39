#pragma once

#include "model/modelstate.h"

#include <cstdint>

// The explicit Euler pass over the Lotka-Volterra pair, with the disaster
// applied at the step drawn nearest to the mark. Every stored value is
// checked; a fault is thrown as RunError and the series keep what was
// computed before it.
class Trajectory {
public:
    // The whole pass.
    static void calculate(ModelState& state);
    // The same with the disaster at step `strike` (-1: none) instead of the
    // mark's.
    static void calculate(ModelState& state, double strike);

    // The pass in pieces, for a caller that shows progress between steps.
    static void begin(ModelState& state);
    // t / dt as a 16-bit loop bound, ties to even; Overflow beyond it.
    static std::int16_t bound(const ModelState& state);
    // The last index both series can hold for that bound.
    static int lastStep(const ModelState& state, std::int16_t bound);
    // The step the mark strikes, or -1 when there is no mark.
    static double disasterStep(const ModelState& state);
    // The mark, as kept (a distance in twips in single precision), that
    // strikes `step` on a graph of twipsPerStep, checked against
    // disasterStep's own rounding.
    static float markFor(double twipsPerStep, int step);
    static void step(ModelState& state, int i, double disasterStep);

    // The running values of a pass. A stretch of steps works on a copy in
    // locals and reports an overflow instead of throwing, so nothing escapes
    // the loop and the compiler keeps it all in registers.
    struct Pass {
        double xp, yp, peak;
        int i;
        bool overflow;
    };
    struct Rates {
        double k1, k2, a1, a2, dt;
    };
    // Steps p.i..to into x and y. Public so that the lab's passes, which may
    // run past the windows' 16-bit bound, take exactly these Euler steps.
    static Pass stretch(Pass p, int to, const Rates& r, double* x, double* y);
    static Rates rates(const ModelState& state) {
        return {state.k1, state.k2, state.a1, state.a2, state.dt};
    }
};
