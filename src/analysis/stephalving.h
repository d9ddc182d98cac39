#pragma once

#include "analysis/figure.h"
#include "analysis/integrator.h"

#include <functional>
#include <vector>

// The same run at Δt, Δt/2 and Δt/4 with each method, over the same time
// span and with the disaster at the same moment, to show how each method's
// error shrinks as the step does.
//
// Two measures. The drift of V is what the method adds to the quantity the
// exact flow keeps (a disaster's own jump of V is taken out, since it does
// not shrink with the step); its order log2(drift(Δt) / drift(Δt/2)) tends
// to 1 for explicit Euler and 4 for RK4, but the semi-implicit step's V
// oscillates instead of drifting, so its drift says little of its order.
// The state's order compares the values themselves at the end:
// log2(|z(Δt) − z(Δt/2)| / |z(Δt/2) − z(Δt/4)|), z = (x, y), which tends to
// the order of every method, 1, 1 and 4. Either is an estimate at a coarse
// step, and none where the differences are at rounding level or do not
// shrink.
class StepHalving {
public:
    struct Row {
        Integrator::Method method;
        double dt;
        int steps;
        Figure<double> drift;
        // Against the next halving; null for the last one.
        Figure<double> order;
        // The method's order from the state at the end: one figure from
        // all three runs, the same in each of its rows.
        Figure<double> stateOrder;
    };

    // One of the compared runs as a view keeps it.
    struct Path {
        Integrator::Method method;
        int halving; // 0, 1, 2 for Δt, Δt/2, Δt/4
        std::vector<double> x, y;
    };

    static constexpr int Halvings = 3; // Δt, Δt/2, Δt/4

    // steps at Δt, strike the struck step (or < 1 for none). Rows method by
    // method, each at Δt, Δt/2, Δt/4. Runs past 32767 steps are allowed.
    // sink: when given, is shown each of the nine runs (index k: method
    // k / 3 at halving k % 3) on the worker that made it, steps 0..n-1 up to
    // the end or an overflow, so that a view can keep what it draws without
    // computing them again. The arrays are the worker's own and are reused
    // for its next run.
    using Sink = std::function<void(int k, const double* x, const double* y, std::size_t n)>;
    static std::vector<Row> compare(const Trajectory::Rates& rates, double x0, double y0, int steps,
                                    int strike, double divisor, const Sink& sink = nullptr);

    // The drift V(end) − V(0) of one run, less the disaster's jump.
    static Figure<double> drift(Integrator::Method method, const Trajectory::Rates& rates,
                                const std::vector<double>& x, const std::vector<double>& y,
                                int last, int strike);

    // How far apart two results of `steps` steps whose magnitude is
    // `magnitude` must be to tell methods apart rather than rounding. Each
    // step rounds the values by about a unit in their last place, and over
    // n steps such errors add up to at most about n units; so a difference
    // below max(1000, n) units of the magnitude may be rounding alone.
    static double roundingLevel(double magnitude, int steps);
};
