#pragma once

#include "analysis/runsummary.h"
#include "analysis/stephalving.h"
#include "export/exportinputs.h"
#include "export/summaryjson.h"
#include "model/modelstate.h"

#include <QStringList>
#include <optional>
#include <vector>

// One run of morvane-export's inputs: read as the input row reads them,
// calculated as the light window calculates, and its figures. The single
// command and every point of a sweep go through here, so that a sweep's row
// is the very --summary of its point.
class ExportRun {
public:
    ExportInputs inputs;
    ModelState s;
    // The step the disaster struck, 0 for none.
    int struck = 0;

    // Throws ExportInputs::Refusal naming the option refused.
    void read(const ExportOptions& options);
    // Throws RunError (an overflow, the 16-bit step counter). The graph's
    // horizontal scale, which only a picture needs, is the caller's.
    void calculate();

    struct Figures {
        RunSummary summary;
        // With --compare-steps: the same run at halved steps.
        std::optional<std::vector<StepHalving::Row>> compare;
        // What the summary says beside its figures.
        QStringList notes;
    };
    Figures figures(bool compareSteps) const;

    SummaryJson::Inputs summaryInputs() const;
    Scenario scenario() const { return inputs.scenario(s); }
};
