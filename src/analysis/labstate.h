#pragma once

#include "model/scenario.h"

#include <QString>

// What the lab holds and the rules its controls follow, apart from the
// controls themselves: one scenario, shown as it is held. A ticked disaster
// always strikes a step of the run, the divisor is always one the main
// windows have, and the method chosen in the lab outlives the main window's
// runs, which know only explicit Euler.
class LabState {
public:
    enum Value { K1, K2, A1, A2, X0, Y0, Dt, Span };

    const Scenario& scenario() const { return m_scenario; }
    // Everything at once: an example, or a file.
    void set(const Scenario& scenario);
    void setValue(Value which, double value);
    void setMethod(StepMethod method);
    // Ticking strikes the moment used last if the run has it, else the
    // middle of the run.
    void setDisaster(bool on);
    // A moment outside the run goes to its nearest end, so that a ticked
    // disaster never strikes nothing.
    void setStrikeTime(double time);
    // Anything but a divisor goes to the nearest one.
    void setDivisor(int divisor);
    static int nearestDivisor(double value);

    // The main window's last run; the lab's own method is kept.
    void follow(const Scenario& main);
    bool hasMain() const { return m_hasMain; }
    const Scenario& main() const { return m_main; }
    // The line telling the lab's values from the main window's; empty
    // without a main window.
    QString differs() const;

    static double Scenario::*field(Value which);

private:
    void keepStrikeInside();

    Scenario m_scenario;
    Scenario m_main;
    bool m_hasMain = false;
};
