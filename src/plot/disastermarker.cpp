#include "plot/disastermarker.h"

#include "common/checkedmath.h"
#include "common/numbertext.h"
#include "model/trajectory.h"
#include "plot/graphplotter.h"

#include <cmath>

bool DisasterMarker::arm(ModelState& state) {
    if (state.graphReady != -1)
        return false;
    state.disasterArmed = -1;
    return true;
}

bool DisasterMarker::insideBand(double x, double y) {
    return x > BandLeft && x < BandRight && y > BandTop && y < BandBottom;
}

bool DisasterMarker::press(ModelState& state, double x, double y) {
    if (state.disasterArmed != -1 || !insideBand(x, y)) {
        state.disasterArmed = 0;
        return false;
    }
    state.disasterX = float(x - BandLeft);
    return true;
}

QString DisasterMarker::markTime(const ModelState& state) {
    const double steps = CheckedMath::divide(double(state.disasterX), state.twipsPerStep);
    return NumberText::fromDouble(CheckedMath::roundHalfEven(CheckedMath::check(steps * state.dt)) +
                                  0.0);
}

std::int16_t DisasterMarker::factorFor(int scrollValue) {
    return std::int16_t(8 - scrollValue);
}

void DisasterMarker::redraw(ModelState& state, DrawSurface& surface, int scrollValue) {
    GraphPlotter::redrawCurves(state, surface);
    state.disasterFactor = factorFor(scrollValue);
    GraphPlotter::drawTimeScale(state, surface);
}

void DisasterMarker::finish(ModelState& state) {
    state.disasterArmed = 0;
}
