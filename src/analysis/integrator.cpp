#include "analysis/integrator.h"

#include "common/checkedmath.h"
#include "common/runerror.h"

#include <algorithm>
#include <cmath>

namespace {
using Pass = Trajectory::Pass;
using Rates = Trajectory::Rates;

// x first, then y from the new x: the step that keeps V bounded.
struct SemiImplicitStep {
    static void advance(const Rates& r, double xp, double yp, double& xi, double& yi) {
        xi = ((xp * r.k1) - (xp * r.a1) * yp) * r.dt + xp;
        yi = ((xi * r.a2) * yp + (-r.k2) * yp) * r.dt + yp;
    }
};

struct RungeKuttaStep {
    static void advance(const Rates& r, double xp, double yp, double& xi, double& yi) {
        const auto fx = [&r](double x, double y) { return x * (r.k1 - r.a1 * y); };
        const auto fy = [&r](double x, double y) { return y * (r.a2 * x - r.k2); };
        const double h = r.dt / 2;
        const double ax = fx(xp, yp), ay = fy(xp, yp);
        const double bx = fx(xp + h * ax, yp + h * ay), by = fy(xp + h * ax, yp + h * ay);
        const double cx = fx(xp + h * bx, yp + h * by), cy = fy(xp + h * bx, yp + h * by);
        const double dx = fx(xp + r.dt * cx, yp + r.dt * cy);
        const double dy = fy(xp + r.dt * cx, yp + r.dt * cy);
        xi = xp + r.dt / 6 * (ax + 2 * (bx + cx) + dx);
        yi = yp + r.dt / 6 * (ay + 2 * (by + cy) + dy);
    }
};

// The checks and the peak exactly as Trajectory::stretch keeps them.
template <class Step> Pass stretchWith(Pass p, int to, const Rates& r, double* x, double* y) {
    double xp = p.xp, yp = p.yp, peak = p.peak;
    int i = p.i;
    for (; i <= to; ++i) {
        double xi, yi;
        Step::advance(r, xp, yp, xi, yi);
        if (!std::isfinite(xi)) [[unlikely]]
            return {xp, yp, peak, i, true};
        x[i] = xi;
        if (!std::isfinite(yi)) [[unlikely]]
            return {xp, yp, peak, i, true};
        y[i] = yi;
        peak = std::max(peak, xi);
        peak = std::max(peak, yi);
        xp = xi;
        yp = yi;
    }
    return {xp, yp, peak, i, false};
}

Pass stretch(Integrator::Method m, Pass p, int to, const Rates& r, double* x, double* y) {
    switch (m) {
    case Integrator::SemiImplicit:
        return stretchWith<SemiImplicitStep>(p, to, r, x, y);
    case Integrator::RungeKutta4:
        return stretchWith<RungeKuttaStep>(p, to, r, x, y);
    case Integrator::Euler:
        break;
    }
    return Trajectory::stretch(p, to, r, x, y);
}

// Two stretches around the struck step; what calculate() and fill() share.
Pass pass(Integrator::Method m, const Rates& r, double* x, double* y, int last, int strike,
          double divisor, double peak) {
    Pass p{last > 0 ? x[0] : 0, last > 0 ? y[0] : 0, peak, 1, false};
    if (strike >= 1 && strike <= last) {
        p = stretch(m, p, strike, r, x, y);
        if (p.overflow)
            return p;
        p.xp = x[strike] = CheckedMath::divide(p.xp, divisor);
        p.yp = y[strike] = CheckedMath::divide(p.yp, divisor);
    }
    return stretch(m, p, last, r, x, y);
}
} // namespace

QString Integrator::name(Method method) {
    switch (method) {
    case SemiImplicit:
        return QStringLiteral("semi-implicit");
    case RungeKutta4:
        return QStringLiteral("rk4");
    case Euler:
        break;
    }
    return QStringLiteral("euler");
}

std::optional<Integrator::Method> Integrator::fromName(const QString& text) {
    for (Method m : All)
        if (name(m) == text)
            return m;
    return std::nullopt;
}

void Integrator::calculate(ModelState& state, Method method) {
    calculate(state, method, Trajectory::disasterStep(state));
}

void Integrator::calculate(ModelState& state, Method method, double strike) {
    if (method == Euler) {
        Trajectory::calculate(state, strike);
        return;
    }
    Trajectory::begin(state);
    const int last = Trajectory::lastStep(state, Trajectory::bound(state));
    const int struck = strike >= 1 && strike <= last ? int(strike) : -1;
    const Pass p = pass(method, Trajectory::rates(state), state.xSeries.data(),
                        state.ySeries.data(), last, struck, state.disasterFactor, 0);
    state.peakValue = p.peak;
    state.stepIndex = std::int16_t(std::max(0, p.i - 1));
    if (p.overflow)
        throw RunError(RunError::Overflow);
}

double Integrator::fill(Method method, const Trajectory::Rates& rates, double* x, double* y,
                        int last, int strike, double divisor) {
    const Pass p = pass(method, rates, x, y, last, strike, divisor, 0);
    if (p.overflow)
        throw RunError(RunError::Overflow);
    return p.peak;
}

int Integrator::fillUntilOverflow(Method method, const Trajectory::Rates& rates, double* x,
                                  double* y, int last, int strike, double divisor) {
    const Pass p = pass(method, rates, x, y, last, strike, divisor, 0);
    return p.overflow ? p.i - 1 : last;
}

std::pair<double, double> Integrator::advance(Method method, const Trajectory::Rates& rates,
                                              double x, double y) {
    double bx[2] = {x, 0}, by[2] = {y, 0};
    stretch(method, {x, y, 0, 1, false}, 1, rates, bx, by);
    return {bx[1], by[1]};
}
