#include "trajectory.h"

#include "checkedmath.h"
#include "runerror.h"

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

void Trajectory::step(ModelState& state, int i, double strike) {
    double* x = state.xSeries.data();
    double* y = state.ySeries.data();
    const double xp = x[i - 1];
    const double yp = y[i - 1];
    const double xi = ((xp * state.k1) - (xp * state.a1) * yp) * state.dt + xp;
    if (!std::isfinite(xi))
        throw RunError(RunError::Overflow);
    x[i] = xi;
    const double yi = ((xp * state.a2) * yp + (-state.k2) * yp) * state.dt + yp;
    if (!std::isfinite(yi))
        throw RunError(RunError::Overflow);
    y[i] = yi;
    if (xi > state.peakValue)
        state.peakValue = xi;
    if (yi > state.peakValue)
        state.peakValue = yi;
    if (strike == double(i)) {
        const double factor = state.disasterFactor;
        x[i] = CheckedMath::divide(xi, factor);
        y[i] = CheckedMath::divide(yi, factor);
    }
    state.stepIndex = std::int16_t(i);
}

void Trajectory::calculate(ModelState& state) {
    begin(state);
    const std::int16_t b = bound(state);
    const int last = lastStep(state, b);
    const double strike = disasterStep(state);
    for (int i = 1; i <= last; ++i)
        step(state, i, strike);
}
