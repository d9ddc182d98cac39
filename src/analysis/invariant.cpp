#include "analysis/invariant.h"

#include <QStringList>
#include <cmath>
#include <numbers>
#include <tuple>

double Invariant::raw(const Rates& r, double x, double y) {
    return r.a2 * x - r.k2 * std::log(x) + r.a1 * y - r.k1 * std::log(y);
}

Figure<double> Invariant::value(const Rates& r, double x, double y) {
    if (!(x > 0))
        return Figure<double>::none(QStringLiteral("V не определена: x не положителен"));
    if (!(y > 0))
        return Figure<double>::none(QStringLiteral("V не определена: y не положителен"));
    const double v = raw(r, x, y);
    if (!std::isfinite(v))
        return Figure<double>::none(QStringLiteral("V вне диапазона чисел"));
    return Figure<double>::of(v);
}

bool Invariant::closedOrbits(const Rates& r) {
    return r.k1 > 0 && r.k2 > 0 && r.a1 > 0 && r.a2 > 0;
}

namespace {
QString notPositive(const Trajectory::Rates& r) {
    QStringList names;
    const std::pair<const char*, double> all[] = {
        {"k1", r.k1}, {"k2", r.k2}, {"a1", r.a1}, {"a2", r.a2}};
    for (const auto& [name, value] : all)
        if (!(value > 0))
            names << QString::fromLatin1(name) + QStringLiteral(" ≤ 0");
    return names.join(QStringLiteral(", "));
}
} // namespace

Figure<PhasePoint> Invariant::equilibrium(const Rates& r) {
    if (!closedOrbits(r))
        return Figure<PhasePoint>::none(
            QStringLiteral("Равновесие вне первой четверти: %1").arg(notPositive(r)));
    // A quotient of tiny and large coefficients can leave the doubles: an
    // inf, or 0 where the logarithms of V have no value.
    const PhasePoint e{r.k2 / r.a2, r.k1 / r.a1};
    for (const auto& [name, ratio, value] : {std::tuple{"x", "k2/a2", e.x}, {"y", "k1/a1", e.y}})
        if (!(std::isfinite(value) && value > 0))
            return Figure<PhasePoint>::none(
                QStringLiteral("Равновесие вне диапазона чисел: %1 = %2 слишком %3")
                    .arg(QLatin1String(name), QLatin1String(ratio),
                         value > 0 ? QStringLiteral("велико") : QStringLiteral("мало")));
    return Figure<PhasePoint>::of(e);
}

Figure<double> Invariant::smallOrbitPeriod(const Rates& r) {
    if (!closedOrbits(r))
        return Figure<double>::none(
            QStringLiteral("Период малой орбиты не определён: %1").arg(notPositive(r)));
    // The roots apart: their product stays in range where k1·k2 would not.
    return finiteFigure(2 * std::numbers::pi / (std::sqrt(r.k1) * std::sqrt(r.k2)),
                        QStringLiteral("Период малой орбиты вне диапазона чисел"));
}

std::vector<double> Invariant::strikeJumps(const Rates& r, const double* x, const double* y,
                                           std::size_t count, double divisor) {
    if (!(divisor > 0))
        return {};
    std::vector<double> out(count);
    const double lift = (r.k1 + r.k2) * std::log(divisor);
    const double share = 1 - 1 / divisor;
    for (std::size_t i = 0; i < count; ++i)
        out[i] = lift - share * (r.a2 * x[i] + r.a1 * y[i]);
    return out;
}
