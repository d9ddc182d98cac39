#pragma once

#include "analysis/figure.h"
#include "model/trajectory.h"

#include <QPointF>
#include <QRectF>
#include <vector>

// The lab's plane as arithmetic: value ranges on round graduations, values
// to pixels and back (a press moves the start there), and the direction
// field on a grid. Pixels run right and down, values right and up.
class PhaseView {
public:
    struct Axis {
        double min = 0, max = 1, step = 0.2;
        int divisions() const;
    };
    // The smallest of 1, 2, 2.5 and 5 times a power of ten not below rough.
    static double niceStep(double rough);
    // From 0 (or below, for negative values) past the highest value, in
    // about five round divisions. Values that are not finite or beyond
    // ±Largest are ignored, so the axis is always finite.
    static constexpr double Largest = 1e300;
    static Axis axis(const std::vector<double>& values);
    // The same for values from low to high (0 is always shown).
    static Axis axis(double low, double high);

    PhaseView(const Axis& x, const Axis& y, const QRectF& plane);

    // Pixels are kept within ±Far.
    static constexpr double Far = 1e6;
    QPointF at(double x, double y) const;
    PhasePoint valueAt(const QPointF& pixel) const;

    struct Arrow {
        QPointF from, to;
    };
    struct Field {
        std::vector<Arrow> arrows;
        // The speed in values per unit of time of the longest arrow, which
        // spans `reach` of a cell; the others are shorter in proportion.
        double fastest = 0;
    };
    static constexpr double Reach = 0.9;
    // dx/dt = x(k1 − α1·y), dy/dt = y(α2·x − k2) at the centres of a grid of
    // columns × rows cells, measured on the screen so that the arrows point
    // where the path goes.
    Field field(const Trajectory::Rates& r, int columns, int rows) const;

    const Axis& xAxis() const { return m_x; }
    const Axis& yAxis() const { return m_y; }
    const QRectF& plane() const { return m_plane; }

private:
    Axis m_x, m_y;
    QRectF m_plane;
};
