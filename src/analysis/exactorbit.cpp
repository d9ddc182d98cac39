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

Figure<ExactOrbit::Curve> ExactOrbit::smooth(const Trajectory::Rates& r, double x0, double y0,
                                             int rays, double turn) {
    Figure<Curve> base = through(r, x0, y0, rays);
    if (!base.has() || base.value->x.size() < 4)
        return base;
    const PhasePoint e = *Invariant::equilibrium(r);
    const double level = *Invariant::value(r, x0, y0);
    const double height = level - Invariant::raw(r, e.x, e.y);
    Curve c = std::move(*base.value);
    std::vector<double> angle(c.x.size());
    for (std::size_t j = 0; j < angle.size(); ++j)
        angle[j] = 2 * std::numbers::pi * double(j) / rays;
    const std::size_t most = std::size_t(rays) * 20 + 1;
    for (int pass = 0; pass < 40; ++pass) {
        const std::size_t n = c.x.size(); // the last point is the first again
        double xLow = Infinity, xHigh = -Infinity, yLow = Infinity, yHigh = -Infinity;
        for (std::size_t j = 0; j < n; ++j) {
            xLow = std::min(xLow, c.x[j]);
            xHigh = std::max(xHigh, c.x[j]);
            yLow = std::min(yLow, c.y[j]);
            yHigh = std::max(yHigh, c.y[j]);
        }
        const double w = xHigh - xLow, h = yHigh - yLow;
        if (!(w > 0) || !(h > 0))
            break;
        // split[k]: a ray between points k and k + 1.
        std::vector<char> split(n - 1, 0);
        std::size_t added = 0;
        for (std::size_t i = 0; i + 1 < n; ++i) {
            const std::size_t before = i == 0 ? n - 2 : i - 1;
            const double ax = (c.x[i] - c.x[before]) / w, ay = (c.y[i] - c.y[before]) / h;
            const double bx = (c.x[i + 1] - c.x[i]) / w, by = (c.y[i + 1] - c.y[i]) / h;
            if (std::atan2(std::fabs(ax * by - ay * bx), ax * bx + ay * by) <= turn)
                continue;
            for (const std::size_t k : {before, i})
                if (!split[k] && angle[k + 1] - angle[k] > 1e-9) {
                    split[k] = 1;
                    ++added;
                }
        }
        if (added == 0 || n + added > most)
            break;
        Curve next;
        std::vector<double> nextAngle;
        next.x.reserve(n + added);
        next.y.reserve(n + added);
        nextAngle.reserve(n + added);
        for (std::size_t k = 0; k < n; ++k) {
            next.x.push_back(c.x[k]);
            next.y.push_back(c.y[k]);
            nextAngle.push_back(angle[k]);
            if (k + 1 == n || !split[k])
                continue;
            const double a = 0.5 * (angle[k] + angle[k + 1]);
            const double cx = std::cos(a), cy = std::sin(a);
            // The neighbours' distances along their rays, scaled by E.
            const double guess = 0.5 * (std::hypot(c.x[k] / e.x - 1, c.y[k] / e.y - 1) +
                                        std::hypot(c.x[k + 1] / e.x - 1, c.y[k + 1] / e.y - 1));
            const double s = root(r, e.x, e.y, cx, cy, level, height, guess);
            const double x = e.x * (1 + s * cx), y = e.y * (1 + s * cy);
            if (!std::isfinite(x) || !std::isfinite(y))
                return Figure<Curve>::none(QStringLiteral("Точная орбита вне диапазона чисел"));
            next.x.push_back(x);
            next.y.push_back(y);
            nextAngle.push_back(a);
        }
        c = std::move(next);
        angle = std::move(nextAngle);
    }
    return Figure<Curve>::of(std::move(c));
}
