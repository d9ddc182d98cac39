#pragma once

#include "analysis/figure.h"
#include "analysis/integrator.h"

#include <vector>

// The same run at Δt, Δt/2 and Δt/4 with each method, over the same time
// span and with the disaster at the same moment, to show how the drift of V
// shrinks as the step does. The observed order log2(drift(Δt) /
// drift(Δt/2)) tends to 1 for explicit Euler and 4 for RK4 as Δt shrinks;
// at a coarse step it is only an estimate, and the semi-implicit step's
// drift oscillates instead of settling. The drift here is what the method
// adds: a disaster's own jump of V is taken out, since it does not shrink
// with the step.
class StepHalving {
public:
    struct Row {
        Integrator::Method method;
        double dt;
        int steps;
        Figure<double> drift;
        // Against the next halving; null for the last one.
        Figure<double> order;
    };

    static constexpr int Halvings = 3; // Δt, Δt/2, Δt/4

    // steps at Δt, strike the struck step (or < 1 for none). Rows method by
    // method, each at Δt, Δt/2, Δt/4. Runs past 32767 steps are allowed.
    static std::vector<Row> compare(const Trajectory::Rates& rates, double x0, double y0, int steps,
                                    int strike, double divisor);

    // The drift V(end) − V(0) of one run, less the disaster's jump.
    static Figure<double> drift(Integrator::Method method, const Trajectory::Rates& rates,
                                const std::vector<double>& x, const std::vector<double>& y,
                                int last, int strike);
};
