#pragma once

#include "analysis/integrator.h"
#include "extinction/ensemble.h"
#include "model/modelstate.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

class ExportOptions;

// What morvane-export reads from its option texts: the model's eight texts,
// read as the light window reads them, then the disaster and the pictures'
// scale.
class ExportInputs {
public:
    // A text refused, the message naming its option ("--k1=abc: это не число").
    struct Refusal {
        QString message;
        // The options whose texts were refused, without "--".
        QStringList options;
    };

    std::int16_t divisor = 2;
    int scale = 1;
    Integrator::Method method = Integrator::Euler;
    // The disaster's model time, when one is asked for.
    std::optional<double> disasterTime;
    // --extinction's runs, Ω, seed, threads and moments, read and checked
    // with the scenario only when it is asked for.
    Extinction::Settings extinction;

    // The scenario the extinction runs: the model's values as read, the
    // disaster at the time given (Scenario's strike rule decides its step).
    Scenario scenario(const ModelState& state) const;

    // --threads and --scale alone, as read() reads them; throw Refusal.
    static int readThreads(const ExportOptions& options);
    static int readScale(const ExportOptions& options);

    // Fills the parameters and the initial values of `state`; throws Refusal,
    // for --extinction also where the individual model cannot run.
    static ExportInputs read(ModelState& state, const ExportOptions& options);
};
