#pragma once

#include "model/series.h"

#include <cstdint>
#include <vector>

// Everything one main window knows about its model and its graph. It is
// zero at window load and overwritten run by run; the disaster mark and the
// timing corrections stay in force until the window closes.
struct ModelState {
    double k1 = 0;
    double k2 = 0;
    double a1 = 0;
    double a2 = 0;
    double dt = 0;
    std::int16_t t = 0;
    Series xSeries;
    Series ySeries;
    std::int16_t stepIndex = 0;
    std::int16_t inputError = 0;
    std::int16_t graphReady = 0;
    double twipsPerStep = 0;
    double peakValue = 0;
    double twipsPerUnit = 0;
    double xMax = 0;
    double yMax = 0;
    std::int16_t disasterArmed = 0;
    float disasterX = 0;
    std::int16_t disasterFactor = 0;
    float timeTick = 0;
    float valueTick = 0;

    // Timing corrections of the full window's statistics panel.
    float correctionFactor = 1.0f;
    float lastElapsed = 0;
    std::int16_t correctionCount = 0;
    std::vector<float> factorHistory;
    std::vector<float> elapsedHistory;
    // The corrections graph's scales, apart from the run's: a mark made
    // after that graph still reads its time on the run's axis and redraws
    // the run as it was drawn.
    struct Scales {
        double twipsPerStep = 0;
        double twipsPerUnit = 0;
        double peakValue = 0;
    } correctionScales;
};
