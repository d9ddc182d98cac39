#include "plot/phaseview.h"

#include <algorithm>
#include <cmath>

int PhaseView::Axis::divisions() const {
    return int(std::lround((max - min) / step));
}

double PhaseView::niceStep(double rough) {
    if (!(rough > 0) || !std::isfinite(rough))
        return 1;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double m : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (m * power >= rough * (1 - 1e-12))
            return m * power;
    return 10 * power;
}

PhaseView::Axis PhaseView::axis(const std::vector<double>& values) {
    double low = 0, high = 0;
    for (double v : values) {
        // Beyond this, rounding the axis out to a graduation could reach
        // infinity, and nothing else would be left to see anyway.
        if (!(std::abs(v) <= Largest))
            continue;
        low = std::min(low, v);
        high = std::max(high, v);
    }
    return axis(low, high);
}

PhaseView::Axis PhaseView::axis(double low, double high) {
    low = std::min(low, 0.0);
    high = std::max(high, 0.0);
    if (high - low == 0 || !std::isfinite(high - low))
        high = low + 1;
    const double step = niceStep((high - low) / 5);
    Axis a;
    a.step = step;
    a.min = std::floor(low / step) * step;
    a.max = std::ceil(high / step) * step;
    // A top value exactly on a graduation still gets a little room above it.
    if (a.max <= high)
        a.max += step;
    return a;
}

PhaseView::PhaseView(const Axis& x, const Axis& y, const QRectF& plane)
    : m_x(x), m_y(y), m_plane(plane) {}

QPointF PhaseView::at(double x, double y) const {
    // A value far off the plane lands just as far off the screen, but
    // within what a painter can still take.
    const auto near = [](double pixel) {
        return std::isnan(pixel) ? pixel : std::clamp(pixel, -Far, Far);
    };
    return {near(m_plane.left() + (x - m_x.min) / (m_x.max - m_x.min) * m_plane.width()),
            near(m_plane.bottom() - (y - m_y.min) / (m_y.max - m_y.min) * m_plane.height())};
}

PhasePoint PhaseView::valueAt(const QPointF& p) const {
    return {m_x.min + (p.x() - m_plane.left()) / m_plane.width() * (m_x.max - m_x.min),
            m_y.min + (m_plane.bottom() - p.y()) / m_plane.height() * (m_y.max - m_y.min)};
}

PhaseView::Field PhaseView::field(const Trajectory::Rates& r, int columns, int rows) const {
    Field f;
    if (columns < 1 || rows < 1)
        return f;
    const double cellW = m_plane.width() / columns, cellH = m_plane.height() / rows;
    // Pixels per unit of each value.
    const double sx = m_plane.width() / (m_x.max - m_x.min);
    const double sy = m_plane.height() / (m_y.max - m_y.min);
    struct Raw {
        QPointF at;
        double px, py, speed;
    };
    std::vector<Raw> raw;
    double longest = 0;
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            const QPointF centre(m_plane.left() + (i + 0.5) * cellW,
                                 m_plane.top() + (j + 0.5) * cellH);
            const PhasePoint v = valueAt(centre);
            const double dx = v.x * (r.k1 - r.a1 * v.y), dy = v.y * (r.a2 * v.x - r.k2);
            const double px = dx * sx, py = -dy * sy;
            const double length = std::hypot(px, py);
            if (!std::isfinite(length))
                continue;
            raw.push_back({centre, px, py, std::hypot(dx, dy)});
            if (length > longest) {
                longest = length;
                f.fastest = std::hypot(dx, dy);
            }
        }
    }
    if (!(longest > 0))
        return f;
    const double scale = Reach * std::min(cellW, cellH) / longest;
    for (const Raw& a : raw) {
        const QPointF half(a.px * scale / 2, a.py * scale / 2);
        f.arrows.push_back({a.at - half, a.at + half});
    }
    return f;
}
