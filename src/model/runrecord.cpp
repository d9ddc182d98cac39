#include "model/runrecord.h"

#include <algorithm>

RunRecord RunRecord::of(const ModelState& state, double strikeStep) {
    RunRecord r;
    r.k1 = state.k1;
    r.k2 = state.k2;
    r.a1 = state.a1;
    r.a2 = state.a2;
    r.dt = state.dt;
    r.t = state.t;
    const std::size_t n = std::min(state.xSeries.size(), state.ySeries.size());
    r.x.assign(state.xSeries.data(), state.xSeries.data() + n);
    r.y.assign(state.ySeries.data(), state.ySeries.data() + n);
    // A strike beyond the series never happened.
    if (strikeStep >= 1 && strikeStep < double(n)) {
        r.strike = int(strikeStep);
        r.divisor = state.disasterFactor;
    }
    return r;
}
