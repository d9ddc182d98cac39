#include "analysis/labstate.h"

#include "common/checkedmath.h"

#include <algorithm>
#include <cmath>

double Scenario::*LabState::field(Value which) {
    static double Scenario::*const fields[] = {&Scenario::k1, &Scenario::k2,  &Scenario::a1,
                                               &Scenario::a2, &Scenario::x0,  &Scenario::y0,
                                               &Scenario::dt, &Scenario::span};
    return fields[which];
}

void LabState::set(const Scenario& scenario) {
    m_scenario = scenario;
    if (!Scenario::isDivisor(m_scenario.divisor))
        m_scenario.divisor = nearestDivisor(m_scenario.divisor);
    keepStrikeInside();
}

void LabState::setValue(Value which, double value) {
    m_scenario.*field(which) = value;
    keepStrikeInside();
}

void LabState::setMethod(StepMethod method) {
    m_scenario.method = method;
}

void LabState::setDisaster(bool on) {
    m_scenario.disaster = on;
    if (!on)
        return;
    const Scenario::Steps n = m_scenario.steps();
    if (n.ok() && !m_scenario.strike().ok())
        m_scenario.strikeTime = CheckedMath::roundHalfEven(n.count / 2.0) * m_scenario.dt;
    keepStrikeInside();
}

void LabState::setStrikeTime(double time) {
    if (!std::isfinite(time))
        return;
    m_scenario.strikeTime = time;
    keepStrikeInside();
}

void LabState::keepStrikeInside() {
    const Scenario::Steps n = m_scenario.steps();
    if (!m_scenario.disaster || !n.ok() || m_scenario.strike().ok())
        return;
    const double q = m_scenario.strikeTime / m_scenario.dt;
    const double step = std::isfinite(q) && q > 1 ? std::min(double(n.count), q) : 1.0;
    m_scenario.strikeTime = CheckedMath::roundHalfEven(step) * m_scenario.dt;
}

int LabState::nearestDivisor(double value) {
    if (!(value < 504))
        return 1000;
    return int(std::clamp(std::nearbyint(value), 2.0, 8.0));
}

void LabState::setDivisor(int divisor) {
    m_scenario.divisor = Scenario::isDivisor(divisor) ? divisor : nearestDivisor(divisor);
}

void LabState::follow(const Scenario& main) {
    m_main = main;
    m_hasMain = true;
    const StepMethod method = m_scenario.method;
    const bool wasOn = m_scenario.disaster;
    const double moment = m_scenario.strikeTime;
    m_scenario = main;
    m_scenario.method = method;
    // A run without a disaster leaves the lab's last moment for the box.
    if (!main.disaster && !wasOn && moment != 0)
        m_scenario.strikeTime = moment;
    if (!Scenario::isDivisor(m_scenario.divisor))
        m_scenario.divisor = nearestDivisor(m_scenario.divisor);
}

QString LabState::differs() const {
    if (!m_hasMain)
        return QString();
    Scenario mine = m_scenario, theirs = m_main;
    mine.method = theirs.method = StepMethod::Euler;
    // Without a disaster its moment is only a memory, not a value.
    if (!mine.disaster)
        mine.strikeTime = theirs.strikeTime;
    if (!theirs.disaster)
        theirs.strikeTime = mine.strikeTime;
    if (!(mine == theirs))
        return QStringLiteral("Значения отличаются от последнего расчёта главного окна.");
    if (m_scenario.method != StepMethod::Euler)
        return QStringLiteral("Метод отличается: главное окно считает явным Эйлером.");
    return QStringLiteral("Значения — те же, что в последнем расчёте главного окна.");
}
