#pragma once

#include "model/modelstate.h"
#include "model/scenario.h"

#include <cstdint>
#include <vector>

// A finished run as a plain value: what was asked for and what came out.
// A window's ModelState is overwritten by its next run; a copy of this
// stays valid for as long as its holder keeps it.
struct RunRecord {
    // The run's values, its disaster where one struck, and otherwise the
    // divisor the window would strike with.
    Scenario scenario;
    // Step i of the run is x[i], y[i] at model time i · dt; both are
    // equally long, and empty when there is no run.
    std::vector<double> x;
    std::vector<double> y;
    // The step the disaster struck, or -1 when none did, and its divisor.
    int strike = -1;
    std::int16_t divisor = 0;

    bool isEmpty() const { return x.empty(); }

    // The run `state` holds, its disaster at `strikeStep` (as Trajectory
    // reported it when the pass began, or -1); `divisor` is the window's
    // divisor in force for a disaster not yet marked.
    static RunRecord of(const ModelState& state, double strikeStep, int divisor);
};
