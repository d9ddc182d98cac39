#pragma once

#include "model/stepmethod.h"
#include "model/trajectory.h"

#include <QString>

struct ModelState;

// One run as plain values: what the lab holds, what a window's last run
// hands on, what the command reads and what writing back sends. The rules
// that turn a span and a step into a number of steps, and a disaster's time
// into the step it strikes, live here and nowhere else, so that every way
// to run the model strikes the same step.
struct Scenario {
    double k1 = 0, k2 = 0, a1 = 0, a2 = 0;
    double dt = 0;
    // The time span t, a whole number as the windows read it.
    double span = 0;
    double x0 = 0, y0 = 0;
    StepMethod method = StepMethod::Euler;
    // The moment is kept while the disaster is off, so that switching it
    // back on strikes where it struck before.
    bool disaster = false;
    double strikeTime = 0;
    int divisor = 2;

    // The windows' limit on the number of steps.
    static constexpr int MostSteps = 32767;
    // 2 to 8 from the scroll bar, 1000 from the full window's picture.
    static bool isDivisor(int divisor);

    // A whole number of steps, or why there is none.
    struct Steps {
        int count = 0;
        QString problem;
        bool ok() const { return problem.isEmpty(); }
    };
    // span / dt rounded ties to even, from 1 to MostSteps.
    static Steps steps(double span, double dt);
    Steps steps() const { return steps(span, dt); }

    // The step a disaster at `time` strikes in a run of `last` steps of dt:
    // time / dt rounded ties to even, from 1 to last; -1 for none, with the
    // reason.
    struct Strike {
        int step = -1;
        QString problem;
        bool ok() const { return step >= 1; }
    };
    static Strike strike(double time, double dt, int last);
    // This scenario's strike; none while the disaster is off.
    Strike strike() const;

    Trajectory::Rates rates() const { return {k1, k2, a1, a2, dt}; }
    bool operator==(const Scenario&) const = default;

    // What a window's record holds after a run: the values read from its
    // boxes and, where its mark strikes a step of that run, the disaster at
    // that step's time with the record's divisor. `divisor` stands in while
    // no disaster is marked (a window's scroll bar).
    static Scenario fromState(const ModelState& state, int divisor);
    // The other way: the values, both series sized and started, the graph's
    // scale and the mark where a press would strike this scenario's step.
    void toState(ModelState& state) const;
};
