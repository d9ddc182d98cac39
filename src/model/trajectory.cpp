#include "model/trajectory.h"

#include "common/checkedmath.h"
#include "common/runerror.h"

#include <algorithm>
#include <cmath>

void Trajectory::begin(ModelState& state) {
    state.peakValue = 0;
    state.twipsPerUnit = 0;
}

std::int16_t Trajectory::bound(const ModelState& state) {
    return CheckedMath::toInt16(CheckedMath::divide(state.t, state.dt));
}

int Trajectory::lastStep(const ModelState& state, std::int16_t bound) {
    // The series were sized with the same quotient, so this only bites when
    // a failed reading left t and dt newer than the series.
    const std::size_t size = std::min(state.xSeries.size(), state.ySeries.size());
    if (size == 0)
        return 0;
    return int(std::min<std::size_t>(std::size_t(std::max<int>(bound, 0)), size - 1));
}

double Trajectory::disasterStep(const ModelState& state) {
    if (!(state.disasterX > 0.0f))
        return -1;
    return CheckedMath::roundHalfEven(
        CheckedMath::divide(double(state.disasterX), state.twipsPerStep));
}

namespace {
using Pass = Trajectory::Pass;

// One body for the windows' pass (rates read from the record, as it always
// has: a call through the exported stretch below costs it a quarter more)
// and for the lab's passes over plain arrays.
template <class Rates> Pass run(Pass p, int to, const Rates& s, double* x, double* y) {
    const double k1 = s.k1, k2 = s.k2, a1 = s.a1, a2 = s.a2, dt = s.dt;
    double xp = p.xp, yp = p.yp, peak = p.peak;
    int i = p.i;
    for (; i <= to; ++i) {
        const double xi = ((xp * k1) - (xp * a1) * yp) * dt + xp;
        if (!std::isfinite(xi)) [[unlikely]]
            return {xp, yp, peak, i, true};
        x[i] = xi;
        const double yi = ((xp * a2) * yp + (-k2) * yp) * dt + yp;
        if (!std::isfinite(yi)) [[unlikely]]
            return {xp, yp, peak, i, true};
        y[i] = yi;
        peak = std::max(peak, xi);
        peak = std::max(peak, yi);
        xp = xi;
        yp = yi;
    }
    return {xp, yp, peak, i, false};
}
} // namespace

Trajectory::Pass Trajectory::stretch(Pass p, int to, const Rates& r, double* x, double* y) {
    return run(p, to, r, x, y);
}

void Trajectory::step(ModelState& state, int i, double strike) {
    double* x = state.xSeries.data();
    double* y = state.ySeries.data();
    const Pass p = run({x[i - 1], y[i - 1], state.peakValue, i, false}, i, state, x, y);
    state.peakValue = p.peak;
    if (p.overflow)
        throw RunError(RunError::Overflow);
    if (strike == double(i)) {
        const double factor = state.disasterFactor;
        x[i] = CheckedMath::divide(x[i], factor);
        y[i] = CheckedMath::divide(y[i], factor);
    }
    state.stepIndex = std::int16_t(i);
}

float Trajectory::markFor(double twipsPerStep, int step) {
    float x = float(double(step) * twipsPerStep);
    ModelState probe;
    probe.twipsPerStep = twipsPerStep;
    for (int tries = 0; tries < 8; ++tries) {
        probe.disasterX = x;
        const double struck = disasterStep(probe);
        if (struck == step)
            break;
        x = std::nextafter(x, struck < step ? HUGE_VALF : 0.0f);
    }
    return x;
}

void Trajectory::calculate(ModelState& state) {
    calculate(state, disasterStep(state));
}

void Trajectory::calculate(ModelState& state, double strike) {
    begin(state);
    const std::int16_t b = bound(state);
    const int last = lastStep(state, b);
    // The disaster step is taken between two plain stretches.
    double* x = state.xSeries.data();
    double* y = state.ySeries.data();
    Pass p{last > 0 ? x[0] : 0, last > 0 ? y[0] : 0, 0, 1, false};
    auto finish = [&] {
        state.peakValue = p.peak;
        state.stepIndex = std::int16_t(std::max(0, p.i - 1));
        if (p.overflow)
            throw RunError(RunError::Overflow);
    };
    if (strike >= 1 && strike <= last) {
        const int struck = int(strike);
        p = run(p, struck, state, x, y);
        finish();
        const double factor = state.disasterFactor;
        p.xp = x[struck] = CheckedMath::divide(p.xp, factor);
        p.yp = y[struck] = CheckedMath::divide(p.yp, factor);
    }
    p = run(p, last, state, x, y);
    finish();
}
