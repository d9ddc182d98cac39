#include "analysis/stephalving.h"

#include "analysis/invariant.h"
#include "common/numbertext.h"
#include "common/runerror.h"

#include <algorithm>
#include <cmath>
#include <future>
#include <iterator>
#include <limits>

namespace {
using F = Figure<double>;
using Rates = Trajectory::Rates;

QString halvingName(int h) {
    return h == 0 ? QStringLiteral("Δt") : QStringLiteral("Δt/%1").arg(1 << h);
}

QString brief(double v) {
    return NumberText::fromDouble(QString::number(v, 'g', 3).toDouble());
}

// What V's rounding scales with: the sizes of its four terms, which cancel
// in V itself.
double termsOfV(const Rates& r, double x, double y) {
    return std::fabs(r.a2 * x) + std::fabs(r.k2 * std::log(x)) + std::fabs(r.a1 * y) +
           std::fabs(r.k1 * std::log(y));
}

struct End {
    bool reached;
    double x, y;
};

F stateOrder(const End (&ends)[StepHalving::Halvings], int finestSteps) {
    const QString undefined = QStringLiteral("Порядок по x, y не определён: ");
    for (int h = 0; h < StepHalving::Halvings; ++h)
        if (!ends[h].reached)
            return F::none(
                undefined +
                QStringLiteral("прогон с шагом %1 прерван переполнением").arg(halvingName(h)));
    const double coarse = std::hypot(ends[0].x - ends[1].x, ends[0].y - ends[1].y);
    const double fine = std::hypot(ends[1].x - ends[2].x, ends[1].y - ends[2].y);
    double magnitude = 0;
    for (const End& e : ends)
        magnitude = std::max(magnitude, std::hypot(e.x, e.y));
    const double level = StepHalving::roundingLevel(magnitude, finestSteps);
    if (!std::isfinite(coarse) || !std::isfinite(fine) || !std::isfinite(level))
        return F::none(undefined + QStringLiteral("x, y вне диапазона чисел"));
    if (!(fine > level))
        return F::none(undefined + QStringLiteral("x, y в конце при Δt/2 и Δt/4 расходятся на %1, "
                                                  "в пределах округления (%2)")
                                       .arg(brief(fine), brief(level)));
    if (!(coarse > fine))
        return F::none(undefined +
                       QStringLiteral("расхождение x, y в конце не уменьшается с "
                                      "шагом (%1 между Δt и Δt/2, %2 между Δt/2 и Δt/4)")
                           .arg(brief(coarse), brief(fine)));
    return finiteFigure(std::log2(coarse / fine),
                        undefined + QStringLiteral("вне диапазона чисел"));
}

// Row `a` against the next halving's `b`; levels: below them a drift may
// be rounding alone.
F driftOrder(const F& a, double levelA, const F& b, double levelB) {
    if (!a.has() || !b.has())
        return F::none(QStringLiteral("Порядок не определён: нет дрейфа"));
    if (!(std::fabs(*a) > levelA) || !(std::fabs(*b) > levelB))
        return F::none(QStringLiteral("Порядок по V не определён: дрейф %1 в пределах округления "
                                      "(%2)")
                           .arg(brief(std::fabs(*a) > levelA ? *b : *a),
                                brief(std::fabs(*a) > levelA ? levelB : levelA)));
    if ((*a > 0) != (*b > 0))
        return F::none(QStringLiteral("Порядок не определён: дрейфы разных знаков"));
    if (!(std::fabs(*a) > std::fabs(*b)))
        return F::none(QStringLiteral("Порядок по V не определён: дрейф не уменьшается с шагом"));
    return finiteFigure(std::log2(*a / *b), QStringLiteral("Порядок вне диапазона чисел"));
}
} // namespace

double StepHalving::roundingLevel(double magnitude, int steps) {
    return std::numeric_limits<double>::epsilon() * std::max(1000.0, double(steps)) * magnitude;
}

Figure<double> StepHalving::drift(Integrator::Method method, const Trajectory::Rates& r,
                                  const std::vector<double>& x, const std::vector<double>& y,
                                  int last, int strike) {
    // A pass without a branch, which the compiler can vectorize: it goes
    // over every point of nine runs at each move of the lab.
    bool positive = true;
    for (std::size_t i = 0; i <= std::size_t(last); ++i)
        positive &= (x[i] > 0) & (y[i] > 0);
    if (!positive)
        for (int i = 0; i <= last; ++i)
            if (!(x[std::size_t(i)] > 0 && y[std::size_t(i)] > 0))
                return F::none(
                    QStringLiteral("Дрейф не определён: популяция не положительна с шага %1")
                        .arg(i));
    double change = Invariant::raw(r, x[std::size_t(last)], y[std::size_t(last)]) -
                    Invariant::raw(r, x[0], y[0]);
    if (strike >= 1 && strike <= last) {
        const std::size_t k = std::size_t(strike);
        const auto [xb, yb] = Integrator::advance(method, r, x[k - 1], y[k - 1]);
        change -= Invariant::raw(r, x[k], y[k]) - Invariant::raw(r, xb, yb);
    }
    return finiteFigure(change, QStringLiteral("Дрейф вне диапазона чисел"));
}

std::vector<StepHalving::Row> StepHalving::compare(const Trajectory::Rates& rates, double x0,
                                                   double y0, int steps, int strike, double divisor,
                                                   const Sink& sink) {
    if (steps < 0 || steps > (1 << 28))
        throw RunError(RunError::Overflow);
    constexpr int Methods = int(std::size(Integrator::All));
    struct Made {
        Row row;
        End end;
        double level = 0;
    };
    Made made[Methods * Halvings];
    // Run k is method k / Halvings at halving k % Halvings. One pair of
    // arrays serves every run of a worker: filled anew, never zeroed twice.
    const auto make = [&](int k, std::vector<double>* shared) {
        const Integrator::Method m = Integrator::All[k / Halvings];
        const int h = k % Halvings;
        Trajectory::Rates r = rates;
        r.dt = rates.dt / (1 << h);
        const int last = steps << h;
        const int struck = strike >= 1 ? strike << h : -1;
        Made& out = made[k];
        std::vector<double>& x = shared[0];
        std::vector<double>& y = shared[1];
        if (x.size() < std::size_t(last) + 1) {
            x.resize(std::size_t(last) + 1);
            y.resize(x.size());
        }
        x[0] = x0;
        y[0] = y0;
        const int done =
            Integrator::fillUntilOverflow(m, r, x.data(), y.data(), last, struck, divisor);
        out.row = Row{m, r.dt, last, {}, {}, {}};
        if (done < last)
            out.row.drift = F::none(QStringLiteral("Прогон с шагом /%1 прерван: %2")
                                        .arg(1 << h)
                                        .arg(RunError(RunError::Overflow).report()));
        else
            out.row.drift = drift(m, r, x, y, last, struck);
        const std::size_t end = std::size_t(done);
        out.end = {done == last, x[end], y[end]};
        out.level =
            out.row.drift.has()
                ? roundingLevel(std::max(termsOfV(r, x0, y0), termsOfV(r, x[end], y[end])), last)
                : 0;
        if (sink)
            sink(k, x.data(), y.data(), end + 1);
    };
    // Two workers of about equal work (a run costs its steps times 1 for
    // either Euler and 4 for RK4): RK4 and Euler at Δt/4 and the
    // semi-implicit step at Δt/2 on one, the rest on the other.
    const auto works = [&](const std::vector<int>& ks) {
        std::vector<double> shared[2];
        for (int k : ks)
            make(k, shared);
    };
    const std::vector<int> one{8, 2, 4}, other{7, 6, 5, 1, 0, 3};
    if (steps >= 2048) {
        std::future<void> elsewhere = std::async(std::launch::async, works, one);
        works(other);
        elsewhere.get();
    } else {
        works(one);
        works(other);
    }

    std::vector<Row> rows;
    for (int mi = 0; mi < Methods; ++mi) {
        End ends[Halvings];
        double levels[Halvings];
        for (int h = 0; h < Halvings; ++h) {
            Made& m = made[mi * Halvings + h];
            ends[h] = m.end;
            levels[h] = m.level;
            rows.push_back(m.row);
        }
        const std::size_t first = rows.size() - Halvings;
        const F order = stateOrder(ends, steps << (Halvings - 1));
        for (int h = 0; h < Halvings; ++h) {
            Row& row = rows[first + std::size_t(h)];
            row.stateOrder = order;
            row.order = h + 1 == Halvings
                            ? F::none(QStringLiteral("Последнее деление шага: сравнивать не с чем"))
                            : driftOrder(row.drift, levels[h],
                                         rows[first + std::size_t(h) + 1].drift, levels[h + 1]);
        }
    }
    return rows;
}
