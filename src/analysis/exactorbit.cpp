#include "analysis/exactorbit.h"

#include "analysis/invariant.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace {
constexpr double Infinity = std::numeric_limits<double>::infinity();

// The root r > 0 of V(E + r·u) = level, with u in scaled coordinates
// (x = ex·(1 + r·cx), y = ey·(1 + r·cy)); `guess` is the last ray's root.
double root(const Trajectory::Rates& r, double ex, double ey, double cx, double cy, double level,
            double scale, double guess) {
    // V is infinite where the ray leaves the quadrant.
    double hi = Infinity;
    if (cx < 0)
        hi = std::min(hi, -1 / cx);
    if (cy < 0)
        hi = std::min(hi, -1 / cy);
    double lo = 0;
    double s = std::isfinite(hi) ? std::min(guess, 0.5 * hi) : guess;
    for (int n = 0; n < 200; ++n) {
        const double x = ex * (1 + s * cx), y = ey * (1 + s * cy);
        const double g = Invariant::raw(r, x, y) - level;
        if (std::fabs(g) <= 1e-13 * scale)
            return s;
        if (g < 0)
            lo = s;
        else
            hi = s;
        // dV/ds along the ray.
        const double slope = (r.a2 - r.k2 / x) * ex * cx + (r.a1 - r.k1 / y) * ey * cy;
        double next = s - g / slope;
        if (!(next > lo && next < hi))
            next = std::isfinite(hi) ? 0.5 * (lo + hi) : 2 * s;
        if (next == s)
            return s;
        s = next;
    }
    return s;
}
} // namespace

Figure<ExactOrbit::Curve> ExactOrbit::through(const Trajectory::Rates& r, double x0, double y0,
                                              int points) {
    using Result = Figure<Curve>;
    const Figure<PhasePoint> e = Invariant::equilibrium(r);
    if (!e.has())
        return Result::none(QStringLiteral("Точная орбита не определена. ") + e.reason);
    const Figure<double> v0 = Invariant::value(r, x0, y0);
    if (!v0.has())
        return Result::none(QStringLiteral("Точная орбита не определена: начальная точка вне "
                                           "первой четверти"));
    const double ex = (*e).x, ey = (*e).y;
    const double height = *v0 - Invariant::raw(r, ex, ey);
    Curve c;
    if (!(height > 0) || points < 1) {
        c.x = {ex};
        c.y = {ey};
        return Result::of(std::move(c));
    }
    c.x.resize(std::size_t(points) + 1);
    c.y.resize(std::size_t(points) + 1);
    // The start's own ray fixes the first guess.
    double s = std::hypot(x0 / ex - 1, y0 / ey - 1);
    for (int j = 0; j < points; ++j) {
        const double angle = 2 * std::numbers::pi * j / points;
        const double cx = std::cos(angle), cy = std::sin(angle);
        s = root(r, ex, ey, cx, cy, *v0, height, s);
        c.x[std::size_t(j)] = ex * (1 + s * cx);
        c.y[std::size_t(j)] = ey * (1 + s * cy);
    }
    // Rays run far out when E is tiny beside the start; a root found out
    // there may be no number at all.
    for (std::size_t j = 0; j + 1 < c.x.size(); ++j)
        if (!std::isfinite(c.x[j]) || !std::isfinite(c.y[j]))
            return Result::none(QStringLiteral("Точная орбита вне диапазона чисел"));
    c.x.back() = c.x.front();
    c.y.back() = c.y.front();
    return Result::of(std::move(c));
}
