#include "model/inputreader.h"

#include "common/checkedmath.h"
#include "common/numbertext.h"

namespace {
// The value `convert` gives, or its fault as a Failure naming `field`.
template <typename Convert> auto reading(InputReader::Field field, Convert convert) {
    try {
        return convert();
    } catch (const RunError& e) {
        throw InputReader::Failure(field, e);
    }
}
} // namespace

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
    const auto number = [](Field field, const QString& text) {
        return reading(field, [&text] { return NumberText::toDouble(text); });
    };
    state.k1 = number(K1, texts.k1);
    state.k2 = number(K2, texts.k2);
    state.a1 = number(A1, texts.a1);
    state.a2 = number(A2, texts.a2);
    state.dt = number(Dt, texts.dt);
    state.t = reading(T, [&texts] { return NumberText::toInt16(texts.t); });
    reading(StepCount, [&state] {
        state.xSeries.recreate(stepCount(state.t, state.dt));
        state.ySeries.recreate(stepCount(state.t, state.dt));
        return 0;
    });
}

void InputReader::readInitialValues(ModelState& state, const InputTexts& texts) {
    state.xSeries[0] = reading(X0, [&texts] { return NumberText::toDouble(texts.x0); });
    state.ySeries[0] = reading(Y0, [&texts] { return NumberText::toDouble(texts.y0); });
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
