#pragma once

#include "analysis/exactorbit.h"
#include "analysis/figure.h"
#include "analysis/integrator.h"
#include "analysis/runsummary.h"
#include "analysis/stephalving.h"
#include "model/scenario.h"

#include <QString>
#include <vector>

// One state of the lab: the run its parameters give with the chosen method,
// and every figure the lab shows of it, all from the analysis. A slider
// drag makes a new one at every move, so it holds plain vectors and is
// rebuilt whole rather than patched.
struct LabRun {
    // The values the plane must show of a path: up to its first point where
    // a population is not positive, and that point. Past it Euler's step
    // may run off to huge numbers that would leave everything else a dot.
    // Kept when the path is made, so that a paint need not go through it.
    struct Range {
        double min = 0, max = 0;
        bool any = false;
        // Values that are not finite, or too large to graduate, are left out.
        void add(double v);
        void add(const Range& other);
    };
    struct Extent {
        Range x, y;
        void add(double xv, double yv) { x.add(xv), y.add(yv); }
        void add(const Extent& e) { x.add(e.x), y.add(e.y); }
        static Extent of(const std::vector<double>& x, const std::vector<double>& y);
        static Extent of(const double* x, const double* y, std::size_t n);
    };

    static constexpr int MostSteps = Scenario::MostSteps;
    static constexpr int OrbitPoints = 360;

    // compare: also the three methods at Δt, Δt/2 and Δt/4.
    static LabRun of(const Scenario& params, bool compare);

    Scenario params;
    // Not empty: there is no run, and this says why.
    QString problem;
    int last = 0;
    int strike = -1;
    // Steps 0..last; when an overflow cut the pass short, `stopped` says
    // where and `last` is the last step computed.
    std::vector<double> x, y;
    Extent extent;
    QString stopped;
    RunSummary summary;
    Figure<ExactOrbit::Curve> orbit;
    // ΔV if the disaster struck at step n instead (n = 0..last) of the run
    // without it, with the current divisor; empty without a run.
    std::vector<double> jumps;

    // Each with its least and largest x and y.
    using Path = StepHalving::Path;
    // As the plane draws them: some DrawnPoints points of each, and its
    // last; their extents from every point.
    static constexpr std::size_t DrawnPoints = 8192;
    std::vector<Path> compared;
    // The part of each that the plane must show, as for the run itself.
    std::vector<Extent> comparedExtents;
    std::vector<StepHalving::Row> rows;
};
