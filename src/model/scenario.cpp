#include "model/scenario.h"

#include "common/checkedmath.h"
#include "common/numbertext.h"
#include "model/inputreader.h"
#include "model/modelstate.h"

#include <cmath>

bool Scenario::isDivisor(int d) {
    return (d >= 2 && d <= 8) || d == 1000;
}

Scenario::Steps Scenario::steps(double span, double dt) {
    // Negative t and Δt together run as the windows run them: backwards.
    Steps s;
    const double q = span / dt;
    if (dt == 0 || !std::isfinite(dt))
        s.problem = QStringLiteral("Шаг Δt должен быть числом, не равным 0");
    else if (!std::isfinite(span))
        s.problem = QStringLiteral("Время t должно быть числом");
    else if (!(q < MostSteps + 0.5))
        s.problem =
            QStringLiteral("Шагов t/Δt больше %1: увеличьте Δt или уменьшите t").arg(MostSteps);
    else if (!(CheckedMath::roundHalfEven(q) >= 1))
        s.problem = QStringLiteral("Меньше одного шага: t/Δt меньше 0,5");
    else
        s.count = int(CheckedMath::roundHalfEven(q));
    return s;
}

Scenario::Strike Scenario::strike(double time, double dt, int last) {
    Strike s;
    const double q = time / dt;
    const double step = std::isfinite(q) ? CheckedMath::roundHalfEven(q) : 0.0;
    if (step >= 1 && step <= last) {
        s.step = int(step);
        return s;
    }
    const QString at = NumberText::fromDouble(time + 0.0);
    if (!std::isfinite(q) || step < 1)
        s.problem = QStringLiteral("Катастрофа при t = %1 приходится раньше первого шага").arg(at);
    else
        s.problem = QStringLiteral("Катастрофа при t = %1 приходится после последнего шага (%2)")
                        .arg(at)
                        .arg(last);
    return s;
}

Scenario::Strike Scenario::strike() const {
    if (!disaster)
        return {};
    const Steps n = steps();
    return strike(strikeTime, dt, n.ok() ? n.count : 0);
}

Scenario Scenario::fromState(const ModelState& state, int divisor) {
    Scenario s;
    s.k1 = state.k1;
    s.k2 = state.k2;
    s.a1 = state.a1;
    s.a2 = state.a2;
    s.dt = state.dt;
    s.span = state.t;
    s.x0 = state.xSeries.size() ? state.xSeries[0] : 0.0;
    s.y0 = state.ySeries.size() ? state.ySeries[0] : 0.0;
    s.divisor = divisor;
    const double struck = Trajectory::disasterStep(state);
    const int last = int(std::min(state.xSeries.size(), state.ySeries.size())) - 1;
    if (struck >= 1 && struck <= last) {
        s.disaster = true;
        s.strikeTime = struck * state.dt;
        s.divisor = state.disasterFactor;
    }
    return s;
}

void Scenario::toState(ModelState& state) const {
    state.k1 = k1;
    state.k2 = k2;
    state.a1 = a1;
    state.a2 = a2;
    state.dt = dt;
    state.t = CheckedMath::toInt16(span);
    const Steps n = steps();
    state.xSeries.recreate(n.ok() ? n.count : 0);
    state.ySeries.recreate(n.ok() ? n.count : 0);
    state.xSeries[0] = x0;
    state.ySeries[0] = y0;
    state.disasterX = 0;
    if (!n.ok())
        return;
    state.twipsPerStep = InputReader::twipsPerStep(state.t, dt);
    if (const Strike s = strike(); s.ok()) {
        state.disasterX = Trajectory::markFor(state.twipsPerStep, s.step);
        state.disasterFactor = std::int16_t(divisor);
    }
}
