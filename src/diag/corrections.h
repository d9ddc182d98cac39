#pragma once

#include "model/modelstate.h"
#include "plot/drawsurface.h"

// The self-timing of the statistics panel's opening: each opening is
// measured, the height step for the next one is corrected towards 0.1 s, and
// every correction is recorded so that it can be drawn as a graph.
class Corrections {
public:
    static constexpr float TargetSeconds = 0.1f;
    static constexpr float MinimumFactor = 0.6f;
    static constexpr std::int16_t MaxRecords = 32767;

    static float correctedFactor(float lastElapsed, float factor);
    // Applies the rule to the measured opening and records it; records stop
    // at 32767, the rest still corrects the factor.
    static void record(ModelState& state, float elapsed);

    // The corrections graph: scales (false when there are fewer than two
    // records), one step with its tick, and the end tick with the count.
    // Its scales are correctionScales; the maxima and the step index are
    // the window's, which the statistics panel then shows.
    static bool beginGraph(ModelState& state);
    static void drawGraphStep(ModelState& state, DrawSurface& surface, int i);
    static void drawGraphEnd(const ModelState& state, DrawSurface& surface);
};
