#include "plot/phaseplotter.h"

#include "common/checkedmath.h"
#include "plot/graphplotter.h"

#include <algorithm>
#include <cmath>

double PhasePlotter::largest(const double* values, std::size_t count) {
    double peak = 0;
    for (std::size_t i = 0; i < count; ++i)
        peak = std::max(peak, std::fabs(values[i]));
    return peak;
}

void PhasePlotter::draw(const double* x, const double* y, std::size_t count,
                        const GraphGeometry::PlotArea& area, DrawSurface& surface,
                        double strikeStep, const Overlay& overlay) {
    using G = GraphPlotter;
    if (count == 0)
        return;
    const int last = int(count - 1);
    double xPeak = largest(x, count);
    double yPeak = largest(y, count);
    const auto& e = overlay.equilibrium;
    if (e) {
        xPeak = std::max(xPeak, std::fabs(e->first));
        yPeak = std::max(yPeak, std::fabs(e->second));
    }
    const std::size_t orbit = std::min(overlay.orbitX.size(), overlay.orbitY.size());
    xPeak = std::max(xPeak, largest(overlay.orbitX.data(), orbit));
    yPeak = std::max(yPeak, largest(overlay.orbitY.data(), orbit));
    const double xScale = CheckedMath::divide(area.width, xPeak);
    const double yScale = CheckedMath::divide(area.height, yPeak);
    const auto sx = [&](double v) { return G::coord(area.originX + v * xScale); };
    const auto sy = [&](double v) { return G::coord(area.originY - v * yScale); };
    const auto px = [&](int i) { return sx(x[i]); };
    const auto py = [&](int i) { return sy(y[i]); };

    if (e) {
        const float ex = sx(e->first), ey = sy(e->second);
        // Across the quadrant, where the populations live.
        surface.line(ex, sy(0), ex, sy(yPeak), NullclineColour);
        surface.line(sx(0), ey, sx(xPeak), ey, NullclineColour);
        const float d = StartMark;
        surface.line(ex - d, ey - d, ex + d, ey + d);
        surface.line(ex - d, ey + d, ex + d, ey - d);
    }
    for (std::size_t i = 1; i < orbit; ++i)
        surface.line(sx(overlay.orbitX[i - 1]), sy(overlay.orbitY[i - 1]), sx(overlay.orbitX[i]),
                     sy(overlay.orbitY[i]), OrbitColour);

    for (int i = 1; i <= last; ++i)
        surface.line(px(i - 1), py(i - 1), px(i), py(i),
                     double(i) == strikeStep ? G::YColour : G::XColour);

    // The start, drawn last so that the path does not hide it.
    const float x0 = px(0), y0 = py(0), d = StartMark;
    surface.line(x0 - d, y0 - d, x0 + d, y0 - d);
    surface.line(x0 + d, y0 - d, x0 + d, y0 + d);
    surface.line(x0 + d, y0 + d, x0 - d, y0 + d);
    surface.line(x0 - d, y0 + d, x0 - d, y0 - d);

    for (qsizetype i = 0; i < overlay.notes.size(); ++i) {
        surface.setTextPosition(G::coord(area.originX + 120),
                                G::coord(area.originY - area.height - 840 + 200 * double(i)));
        surface.printText(overlay.notes[i]);
    }

    // The graduation, placed and printed as the time graph's. Populations
    // are often well below 1, so each axis gets as many decimals as its
    // division needs to show a digit (at least those of the time graph).
    // The value numbers, wider then, start further left.
    const float timeTick = float(area.width / 10);
    const float valueTick = float(area.height / 10);
    const int xDecimals = decimalsFor(xPeak / 10, 2);
    const int yDecimals = decimalsFor(yPeak / 10, 1);
    for (int k = 1; k <= 10; ++k) {
        const float tick = timeTick * float(k);
        const float at = G::coord(area.originX + double(tick));
        surface.line(at, G::coord(area.originY - 30), at, G::coord(area.originY + 30));
        // The last number would run off the box; the tick ends the axis.
        if (k == 10)
            break;
        surface.setTextPosition(G::coord(area.originX + double(tick) - 100),
                                G::coord(area.originY + 60));
        surface.printNumber(CheckedMath::roundTo(xPeak * k / 10, xDecimals));
    }
    const float left = G::coord(area.originX + std::max(-405, -340 - 90 * (yDecimals - 1)));
    for (int k = 1; k <= 10; ++k) {
        const float tick = valueTick * float(k);
        const float at = G::coord(area.originY - double(tick));
        surface.line(G::coord(area.originX - 30), at, G::coord(area.originX + 30), at);
        surface.setTextPosition(left, G::coord(area.originY - 100 - double(tick)));
        surface.printNumber(CheckedMath::roundTo(yPeak * k / 10, yDecimals));
    }
}

int PhasePlotter::decimalsFor(double division, int least) {
    // The first significant digit of the division, counted after the point.
    const int first = int(std::floor(-std::log10(division))) + 1;
    return std::clamp(first, least, 8);
}
