#include "model/runrecord.h"

#include <algorithm>

RunRecord RunRecord::of(const ModelState& state, double strikeStep, int divisor) {
    RunRecord r;
    r.scenario = Scenario::fromState(state, divisor);
    const std::size_t n = std::min(state.xSeries.size(), state.ySeries.size());
    r.x.assign(state.xSeries.data(), state.xSeries.data() + n);
    r.y.assign(state.ySeries.data(), state.ySeries.data() + n);
    // A strike beyond the series never happened.
    if (strikeStep >= 1 && strikeStep < double(n)) {
        r.strike = int(strikeStep);
        r.divisor = state.disasterFactor;
        r.scenario.disaster = true;
        r.scenario.strikeTime = r.strike * state.dt;
        r.scenario.divisor = state.disasterFactor;
    } else {
        r.scenario.disaster = false;
    }
    return r;
}
