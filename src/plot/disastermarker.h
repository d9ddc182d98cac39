#pragma once

#include "model/modelstate.h"
#include "plot/drawsurface.h"

#include <QString>

// The two-step gesture that marks a disaster on the drawn graph: the button
// arms it, the next press inside the graph band places it.
class DisasterMarker {
public:
    static constexpr double BandLeft = 480;
    static constexpr double BandRight = 7920;
    static constexpr double BandTop = 1040;
    static constexpr double BandBottom = 4280;

    // The disaster button. False when there is no graph yet ("Нет графика!").
    static bool arm(ModelState& state);
    // Strictly inside the band; the edges themselves do not count.
    static bool insideBand(double x, double y);
    // A press on the window: true when it places a mark (disasterX is then
    // set and the caller finishes the mark); false leaves marking mode.
    static bool press(ModelState& state, double x, double y);
    // The model time the mark stands for, with the scale of the last run.
    static QString markTime(const ModelState& state);
    // The divisor the scroll bar's value gives.
    static std::int16_t factorFor(int scrollValue);
    // After the press: the curves again, then the time graduation.
    static void redraw(ModelState& state, DrawSurface& surface, int scrollValue);
    static void finish(ModelState& state);
};
