#include "model/inputreader.h"

#include "common/checkedmath.h"
#include "common/numbertext.h"

std::int32_t InputReader::stepCount(double t, double dt) {
    return CheckedMath::toInt32(CheckedMath::divide(t, dt));
}

double InputReader::twipsPerStep(double t, double dt) {
    return CheckedMath::divide(7440.0, CheckedMath::divide(t, dt));
}

void InputReader::seedMaxima(ModelState& state) {
    state.xMax = state.xSeries.empty() ? 0.0 : state.xSeries[0];
    state.yMax = state.ySeries.empty() ? 0.0 : state.ySeries[0];
}

void InputReader::readParameters(ModelState& state, const InputTexts& texts) {
    state.k1 = NumberText::toDouble(texts.k1);
    state.k2 = NumberText::toDouble(texts.k2);
    state.a1 = NumberText::toDouble(texts.a1);
    state.a2 = NumberText::toDouble(texts.a2);
    state.dt = NumberText::toDouble(texts.dt);
    state.t = NumberText::toInt16(texts.t);
    state.xSeries.recreate(stepCount(state.t, state.dt));
    state.ySeries.recreate(stepCount(state.t, state.dt));
}

void InputReader::readInitialValues(ModelState& state, const InputTexts& texts) {
    state.xSeries[0] = NumberText::toDouble(texts.x0);
    state.ySeries[0] = NumberText::toDouble(texts.y0);
}

void InputReader::readLight(ModelState& state, const InputTexts& texts) {
    readParameters(state, texts);
    readInitialValues(state, texts);
}

void InputReader::readFull(ModelState& state, const InputTexts& texts) {
    readParameters(state, texts);
    state.twipsPerStep = twipsPerStep(state.t, state.dt);
    readInitialValues(state, texts);
    seedMaxima(state);
}
