#include "analysis/stephalving.h"

#include "analysis/invariant.h"
#include "common/runerror.h"

#include <cmath>

Figure<double> StepHalving::drift(Integrator::Method method, const Trajectory::Rates& r,
                                  const std::vector<double>& x, const std::vector<double>& y,
                                  int last, int strike) {
    using F = Figure<double>;
    for (int i = 0; i <= last; ++i)
        if (!(x[std::size_t(i)] > 0 && y[std::size_t(i)] > 0))
            return F::none(
                QStringLiteral("Дрейф не определён: популяция не положительна с шага %1").arg(i));
    double change = Invariant::raw(r, x[std::size_t(last)], y[std::size_t(last)]) -
                    Invariant::raw(r, x[0], y[0]);
    if (strike >= 1 && strike <= last) {
        const std::size_t k = std::size_t(strike);
        const auto [xb, yb] = Integrator::advance(method, r, x[k - 1], y[k - 1]);
        change -= Invariant::raw(r, x[k], y[k]) - Invariant::raw(r, xb, yb);
    }
    if (!std::isfinite(change))
        return F::none(QStringLiteral("Дрейф вне диапазона чисел"));
    return F::of(change);
}

std::vector<StepHalving::Row> StepHalving::compare(const Trajectory::Rates& rates, double x0,
                                                   double y0, int steps, int strike,
                                                   double divisor) {
    using F = Figure<double>;
    std::vector<Row> rows;
    if (steps < 0 || steps > (1 << 28))
        throw RunError(RunError::Overflow);
    const int most = steps << (Halvings - 1);
    std::vector<double> x(std::size_t(std::max(most, 0)) + 1), y(x.size());
    for (Integrator::Method m : Integrator::All) {
        for (int h = 0; h < Halvings; ++h) {
            Trajectory::Rates r = rates;
            r.dt = rates.dt / (1 << h);
            const int last = steps << h;
            const int struck = strike >= 1 ? strike << h : -1;
            Row row{m, r.dt, last, {}, {}};
            x[0] = x0;
            y[0] = y0;
            try {
                Integrator::fill(m, r, x.data(), y.data(), last, struck, divisor);
                row.drift = drift(m, r, x, y, last, struck);
            } catch (const RunError& e) {
                row.drift = F::none(
                    QStringLiteral("Прогон с шагом /%1 прерван: %2").arg(1 << h).arg(e.report()));
            }
            rows.push_back(row);
        }
        // Each row against the next halving.
        const std::size_t first = rows.size() - Halvings;
        for (std::size_t i = first; i < rows.size(); ++i) {
            Row& row = rows[i];
            if (i + 1 == rows.size()) {
                row.order = F::none(QStringLiteral("Последнее деление шага: сравнивать не с чем"));
                continue;
            }
            const F& a = row.drift;
            const F& b = rows[i + 1].drift;
            if (!a.has() || !b.has())
                row.order = F::none(QStringLiteral("Порядок не определён: нет дрейфа"));
            else if (*a == 0 || *b == 0 || (*a > 0) != (*b > 0))
                row.order = F::none(
                    QStringLiteral("Порядок не определён: дрейфы нулевые или разных знаков"));
            else if (const double order = std::log2(*a / *b); std::isfinite(order))
                row.order = F::of(order);
            else
                row.order = F::none(QStringLiteral("Порядок вне диапазона чисел"));
        }
    }
    return rows;
}
