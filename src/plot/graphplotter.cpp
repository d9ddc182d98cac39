#include "plot/graphplotter.h"

#include "common/checkedmath.h"
#include "model/trajectory.h"

float GraphPlotter::coord(double twips) {
    return CheckedMath::toSingle(twips);
}

int GraphPlotter::beginCurves(ModelState& state) {
    state.twipsPerUnit = CheckedMath::divide(Height, state.peakValue);
    return Trajectory::lastStep(state, Trajectory::bound(state));
}

void GraphPlotter::raiseMaxima(ModelState& state, int i) {
    if (state.xSeries[i] > state.xMax)
        state.xMax = state.xSeries[i];
    if (state.ySeries[i] > state.yMax)
        state.yMax = state.ySeries[i];
}

void GraphPlotter::drawStep(const ModelState& state, DrawSurface& surface, int i) {
    const float xa = coord(double(i - 1) * state.twipsPerStep + OriginX);
    const float xb = coord(double(i) * state.twipsPerStep + OriginX);
    surface.line(xa, coord(OriginY - state.xSeries[i - 1] * state.twipsPerUnit), xb,
                 coord(OriginY - state.xSeries[i] * state.twipsPerUnit), XColour);
    surface.line(xa, coord(OriginY - state.ySeries[i - 1] * state.twipsPerUnit), xb,
                 coord(OriginY - state.ySeries[i] * state.twipsPerUnit), YColour);
}

void GraphPlotter::drawCurves(ModelState& state, DrawSurface& surface) {
    const int last = beginCurves(state);
    for (int i = 1; i <= last; ++i) {
        raiseMaxima(state, i);
        drawStep(state, surface, i);
        state.stepIndex = std::int16_t(i);
    }
}

void GraphPlotter::redrawCurves(ModelState& state, DrawSurface& surface) {
    const int last = Trajectory::lastStep(state, Trajectory::bound(state));
    for (int i = 1; i <= last; ++i) {
        drawStep(state, surface, i);
        state.stepIndex = std::int16_t(i);
    }
}

void GraphPlotter::drawTimeScale(ModelState& state, DrawSurface& surface) {
    const double span = CheckedMath::divide(state.t, state.dt);
    const float endX = coord(span * state.twipsPerStep + OriginX);
    surface.line(endX, 4260, endX, 4380);
    surface.setTextPosition(coord(span * state.twipsPerStep + 380), 4380);
    surface.printNumber(state.t);

    state.timeTick = float(Width / 10);
    for (int k = 1; k <= 9; ++k) {
        const float tick = state.timeTick * float(k);
        const float x = coord(OriginX + double(tick));
        surface.line(x, 4290, x, 4350);
        surface.setTextPosition(coord(double(tick) + 380), 4380);
        const double value = state.dt * CheckedMath::divide(double(tick), state.twipsPerStep);
        surface.printNumber(CheckedMath::roundTo(CheckedMath::check(value), 2));
    }
}

void GraphPlotter::drawValueScale(ModelState& state, DrawSurface& surface) {
    state.valueTick = float(Height / 10);
    for (int k = 1; k <= 10; ++k) {
        const float tick = state.valueTick * float(k);
        const float y = coord(OriginY - double(tick));
        surface.line(450, y, 510, y);
        surface.setTextPosition(140, coord(4220 - double(tick)));
        surface.printNumber(
            CheckedMath::roundTo(CheckedMath::divide(double(tick), state.twipsPerUnit), 1));
    }
}

void GraphPlotter::drawScale(ModelState& state, DrawSurface& surface) {
    drawTimeScale(state, surface);
    drawValueScale(state, surface);
}
