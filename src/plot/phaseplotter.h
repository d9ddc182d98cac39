#pragma once

#include "plot/drawsurface.h"
#include "plot/graphgeometry.h"

#include <QStringList>
#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

// The phase portrait: y against x on a plot area (the time graph's, for
// the pictures), x to the right and y upwards, each scaled so that its
// largest magnitude over the whole run reaches the end of its axis. The path is drawn in the x
// colour, the step into the disaster in the y colour so that the jump stands out, and a small
// square marks the start. Both axes are graduated in ten divisions, as the time graph is.
class PhasePlotter {
public:
    static constexpr float StartMark = 60; // half the square's side, twips
    static constexpr DrawSurface::Rgb NullclineColour = 0x808080;
    static constexpr DrawSurface::Rgb OrbitColour = 0x2040C0;

    // What the lab adds under the path: the nullclines x = E.x and y = E.y
    // with a cross at the equilibrium E, and a closed exact orbit. The
    // axes then reach far enough to show them too; without an overlay the
    // portrait is exactly the one the export has always drawn.
    struct Overlay {
        std::optional<std::pair<double, double>> equilibrium;
        std::vector<double> orbitX, orbitY;
        // What was asked for and cannot be drawn, and why: a line each in
        // the upper left corner, above the area, where the value axis
        // leaves room.
        QStringList notes;
    };

    // The first `count` steps of the series x and y; strikeStep: the step
    // the disaster struck, or -1. Throws RunError (division by zero) when
    // either series is zero throughout.
    static void draw(const double* x, const double* y, std::size_t count,
                     const GraphGeometry::PlotArea& area, DrawSurface& surface, double strikeStep,
                     const Overlay& overlay = {});

    // The largest magnitude of the first count values.
    static double largest(const double* values, std::size_t count);
    // Decimals that show the first significant digit of a division, and at
    // least `least` of them.
    static int decimalsFor(double division, int least);
};
