#include "export/exportrun.h"

#include "model/inputreader.h"
#include "model/scenario.h"
#include "model/trajectory.h"

void ExportRun::read(const ExportOptions& options) {
    inputs = ExportInputs::read(s, options);
}

void ExportRun::calculate() {
    if (inputs.disasterTime) {
        const int last = int(s.xSeries.size()) - 1;
        const Scenario::Strike strike = Scenario::strike(*inputs.disasterTime, s.dt, last);
        struck = strike.ok() ? strike.step : 0;
    }
    if (struck > 0)
        s.disasterFactor = inputs.divisor;
    InputReader::seedMaxima(s);
    Integrator::calculate(s, inputs.method, struck > 0 ? struck : -1);
}

ExportRun::Figures ExportRun::figures(bool compareSteps) const {
    const Trajectory::Rates rates = Trajectory::rates(s);
    const int last = int(s.xSeries.size()) - 1;
    const int strike = struck > 0 ? struck : -1;
    Figures f{RunSummary::of({inputs.method, rates, s.xSeries.data(), s.ySeries.data(), last,
                              strike, double(inputs.divisor)}),
              std::nullopt,
              {}};
    if (inputs.disasterTime && struck == 0)
        f.notes << QStringLiteral("Катастрофа не приходится ни на один шаг с 1-го по последний");
    if (!compareSteps)
        return f;
    if (strike > 0)
        f.notes << QStringLiteral("В compareSteps дрейф взят без скачка V при катастрофе: он не "
                                  "зависит от шага");
    f.compare =
        StepHalving::compare(rates, s.xSeries[0], s.ySeries[0], last, strike, inputs.divisor);
    return f;
}

SummaryJson::Inputs ExportRun::summaryInputs() const {
    return {Trajectory::rates(s), s.t,
            s.xSeries[0],         s.ySeries[0],
            inputs.method,        inputs.divisor,
            inputs.disasterTime,  struck > 0 ? std::optional(struck) : std::nullopt};
}
