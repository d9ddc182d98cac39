#pragma once

#include "export/sweeprunner.h"

#include <QColor>
#include <QRectF>

class QPainter;

// A grid's figure as colours: each point a cell reaching halfway to its
// neighbours, the first parameter across and the second up, grey where the
// figure is undefined or the point failed; its colour scale beside it.
class SweepHeatMap {
public:
    // The pixels right of the map that the colour scale takes.
    static constexpr double ScaleRoom = 86;
    static const QColor Missing;

    // Viridis: even in lightness, readable in grey; f from 0 to 1.
    static QColor colour(double f);

    static void paint(QPainter& p, const QRectF& plot, const std::vector<SweptInput>& swept,
                      const SweepRunner::Results& results, int column);
};
