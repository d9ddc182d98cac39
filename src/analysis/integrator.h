#pragma once

#include "model/modelstate.h"
#include "model/stepmethod.h"
#include "model/trajectory.h"

#include <QString>
#include <optional>
#include <utility>

// The three steps the lab compares. Explicit Euler is the windows' own pass
// (Trajectory), so its numbers here are theirs to the last bit; the other
// two fill the same series the same way, so that everything downstream
// (table, pictures, figures) takes any of them: step 0 holds x0 and y0, the
// disaster divides the values computed for its step and the pass goes on
// from them, and an overflow is a RunError at the failing step with the
// series kept up to it.
class Integrator {
public:
    using Method = StepMethod;
    static constexpr Method Euler = StepMethod::Euler;
    static constexpr Method SemiImplicit = StepMethod::SemiImplicit;
    static constexpr Method RungeKutta4 = StepMethod::RungeKutta4;
    static constexpr Method All[] = {Euler, SemiImplicit, RungeKutta4};

    // The command line's names: "euler", "semi-implicit", "rk4".
    static QString name(Method method);
    static std::optional<Method> fromName(const QString& name);

    // The window's pass (begin, 16-bit bound, disaster at the marked step,
    // peakValue) with the chosen step; Euler is Trajectory::calculate itself.
    static void calculate(ModelState& state, Method method);
    // The same with the disaster at step `strike` (-1: none) instead of the
    // mark's.
    static void calculate(ModelState& state, Method method, double strike);

    // Steps 1..last into x and y (x[0], y[0] given), with no 16-bit bound:
    // step halving runs past the windows' limit. strike < 1 or > last
    // strikes nothing. Returns the largest value, as peakValue counts it.
    static double fill(Method method, const Trajectory::Rates& rates, double* x, double* y,
                       int last, int strike, double divisor);

    // fill without the throw: an overflow ends the pass, with x and y
    // holding steps up to the one before it. The last step computed.
    static int fillUntilOverflow(Method method, const Trajectory::Rates& rates, double* x,
                                 double* y, int last, int strike, double divisor);

    // The step a pass took from (x, y), bit for bit: the values a disaster
    // divided, for the figures that need them once the series holds the
    // divided ones. (0, 0) for a step that would overflow.
    static std::pair<double, double> advance(Method method, const Trajectory::Rates& rates,
                                             double x, double y);
};
