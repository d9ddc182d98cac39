#pragma once

#include "analysis/runsummary.h"
#include "analysis/stephalving.h"

#include <QByteArray>
#include <QJsonObject>
#include <QStringList>
#include <optional>
#include <vector>

// A run's figures as the one JSON object morvane-export's --summary writes,
// with fixed keys that scripts rely on. A figure that is undefined, or an
// event that does not happen, is null; the reasons, each once, go into
// "notes". Numbers are the shortest text that reads back as the same
// double, which QJsonDocument writes (and never a NaN or an inf: those
// are nulls before they get here).
class SummaryJson {
public:
    // Every input as read and used, so that a file tells its run.
    struct Inputs {
        Trajectory::Rates rates{}; // k1, k2, a1, a2, dt
        int t = 0;                 // the whole number the run used
        double x0 = 0, y0 = 0;
        Integrator::Method method = Integrator::Euler;
        int divisor = 2;
        std::optional<double> disasterTime;
        std::optional<int> strikeStep; // the step the disaster struck
    };

    // The "inputs" object, shared with the extinction's document.
    static QJsonObject inputsObject(const Inputs& inputs);

    // compare: the step halving's rows, or null when not asked for.
    // extraNotes go first, e.g. that a disaster fell outside the run.
    static QByteArray document(const Inputs& inputs, const RunSummary& summary,
                               const std::vector<StepHalving::Row>* compare,
                               const QStringList& extraNotes);
};
