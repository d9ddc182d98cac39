#pragma once

#include "analysis/figure.h"
#include "analysis/integrator.h"

#include <optional>

// The figures of one finished run, from its series alone, for the lab
// window and for morvane-export's summary: how far the method let V drift,
// how low each population fell, the periods before and after the disaster
// and what the disaster did to V. Every figure that cannot be had is null
// with its reason. Nothing after the first step where a population is not
// positive feeds a logarithm, nor a period.
class RunSummary {
public:
    struct Input {
        Integrator::Method method = Integrator::Euler;
        Trajectory::Rates rates{};
        // Steps 0..last of the run.
        const double* x = nullptr;
        const double* y = nullptr;
        int last = 0;
        // The struck step (1..last), or none; the series hold its divided
        // values.
        int strike = -1;
        double divisor = 2;
    };

    struct NonPositive {
        char population; // 'x' or 'y'; x when both fall at the same step
        int step;
        double t;
    };

    struct Strike {
        int step;
        double t;
        double xBefore, yBefore, xAfter, yAfter;
        Figure<double> vBefore, vAfter, jump;
    };

    Integrator::Method method = Integrator::Euler;
    double dt = 0;
    double span = 0; // last · dt
    Figure<PhasePoint> equilibrium;
    Figure<double> v0, vEnd, drift, driftPerTime;
    double minX = 0, minY = 0;
    std::optional<NonPositive> firstNonPositive;
    Figure<double> periodBefore, periodAfter, smallOrbitPeriod;
    std::optional<Strike> disaster;

    static RunSummary of(const Input& in);

    // The mean time between successive maxima of x over steps from..to,
    // each refined by the vertex of the parabola through it and its two
    // neighbours; a maximum needs both neighbours inside from..to.
    // When the spacings grow or shrink from the first to the last by more
    // than sampling explains, the note says so and by how much per cycle.
    static Figure<double> period(const double* x, int from, int to, double dt);
};
