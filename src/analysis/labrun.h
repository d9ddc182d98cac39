#pragma once

#include "analysis/exactorbit.h"
#include "analysis/figure.h"
#include "analysis/integrator.h"
#include "analysis/runsummary.h"
#include "analysis/stephalving.h"

#include <QString>
#include <vector>

// One state of the lab: the run its parameters give with the chosen method,
// and every figure the lab shows of it, all from the analysis. A slider
// drag makes a new one at every move, so it holds plain vectors and is
// rebuilt whole rather than patched.
struct LabRun {
    struct Params {
        Integrator::Method method = Integrator::Euler;
        double k1 = 0, k2 = 0, a1 = 0, a2 = 0, dt = 0;
        double span = 0; // the time span t, a whole number as the windows read it
        double x0 = 0, y0 = 0;
        // The disaster's model time; 0 or less for none.
        double strikeTime = 0;
        int divisor = 2;

        Trajectory::Rates rates() const { return {k1, k2, a1, a2, dt}; }
        bool operator==(const Params&) const = default;
    };

    // The windows' own limit on the number of steps.
    static constexpr int MostSteps = 32767;
    static constexpr int OrbitPoints = 360;

    // compare: also the three methods at Δt, Δt/2 and Δt/4.
    static LabRun of(const Params& params, bool compare);
    // The step a disaster at `time` strikes for this step and span, or -1.
    static int strikeStep(const Params& params, int last);

    Params params;
    // Not empty: there is no run, and this says why.
    QString problem;
    int last = 0;
    int strike = -1;
    // Steps 0..last; when an overflow cut the pass short, `stopped` says
    // where and `last` is the last step computed.
    std::vector<double> x, y;
    QString stopped;
    RunSummary summary;
    Figure<ExactOrbit::Curve> orbit;
    // ΔV if the disaster struck at step n instead (n = 0..last) of the run
    // without it, with the current divisor; empty without a run.
    std::vector<double> jumps;

    // Each with its least and largest x and y.
    using Path = StepHalving::Path;
    std::vector<Path> compared;
    std::vector<StepHalving::Row> rows;
};
