#include "diag/corrections.h"

#include "common/checkedmath.h"
#include "plot/graphplotter.h"

float Corrections::correctedFactor(float lastElapsed, float factor) {
    const double corrected = double(lastElapsed) * double(factor) / double(TargetSeconds);
    float result = CheckedMath::toSingle(corrected);
    if (MinimumFactor > result)
        result = MinimumFactor;
    return result;
}

void Corrections::record(ModelState& state, float elapsed) {
    state.lastElapsed = elapsed;
    state.correctionFactor = correctedFactor(elapsed, state.correctionFactor);
    if (state.correctionCount >= MaxRecords)
        return;
    state.factorHistory.push_back(state.correctionFactor);
    state.elapsedHistory.push_back(state.lastElapsed);
    state.correctionCount = std::int16_t(state.correctionCount + 1);
}

bool Corrections::beginGraph(ModelState& state) {
    const int n = state.correctionCount;
    if (n < 2)
        return false;
    state.correctionScales.twipsPerStep = GraphPlotter::Width / double(n - 1);
    state.correctionScales.peakValue = 0;
    for (int i = 0; i < n; ++i) {
        if (float(state.correctionScales.peakValue) < state.elapsedHistory[i])
            state.correctionScales.peakValue = state.elapsedHistory[i];
        if (float(state.correctionScales.peakValue) < state.factorHistory[i])
            state.correctionScales.peakValue = state.factorHistory[i];
    }
    state.correctionScales.twipsPerUnit =
        CheckedMath::divide(GraphPlotter::Height, state.correctionScales.peakValue);
    state.xMax = state.elapsedHistory[0];
    state.yMax = state.factorHistory[0];
    return true;
}

void Corrections::drawGraphStep(ModelState& state, DrawSurface& surface, int i) {
    const auto& e = state.elapsedHistory;
    const auto& f = state.factorHistory;
    if (e[i] > state.xMax)
        state.xMax = e[i];
    if (f[i] > state.yMax)
        state.yMax = f[i];
    using G = GraphPlotter;
    const float xa = G::coord(G::OriginX + double(i - 1) * state.correctionScales.twipsPerStep);
    const float xb = G::coord(G::OriginX + double(i) * state.correctionScales.twipsPerStep);
    surface.line(xa, G::coord(G::OriginY - e[i - 1] * state.correctionScales.twipsPerUnit), xb,
                 G::coord(G::OriginY - e[i] * state.correctionScales.twipsPerUnit), G::XColour);
    surface.line(xa, G::coord(G::OriginY - f[i - 1] * state.correctionScales.twipsPerUnit), xb,
                 G::coord(G::OriginY - f[i] * state.correctionScales.twipsPerUnit), G::YColour);
    surface.line(xb, 4280, xb, 4360);
    state.stepIndex = std::int16_t(i);
}

void Corrections::drawGraphEnd(const ModelState& state, DrawSurface& surface) {
    const int n = state.correctionCount;
    const float x = GraphPlotter::coord(GraphPlotter::OriginX +
                                        double(n - 1) * state.correctionScales.twipsPerStep);
    surface.line(x, 4260, x, 4380);
    surface.printNumber(n);
}
