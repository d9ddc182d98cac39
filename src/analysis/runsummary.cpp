#include "analysis/runsummary.h"

#include "analysis/invariant.h"
#include "common/numbertext.h"

#include <algorithm>
#include <cmath>

namespace {
QString brief(double v) {
    return NumberText::fromDouble(QString::number(v, 'g', 4).toDouble());
}
} // namespace

Figure<double> RunSummary::period(const double* x, int from, int to, double dt) {
    int count = 0;
    double first = 0, second = 0, previous = 0, latest = 0;
    for (int i = from + 1; i < to; ++i) {
        const double before = x[i - 1], here = x[i], after = x[i + 1];
        if (!(here > before && here >= after))
            continue;
        const double bend = before - 2 * here + after;
        const double shift = bend != 0 ? 0.5 * (before - after) / bend : 0;
        previous = latest;
        latest = (i + shift) * dt;
        if (count == 0)
            first = latest;
        else if (count == 1)
            second = latest;
        ++count;
    }
    if (count < 2)
        return Figure<double>::none(
            QStringLiteral("Меньше двух максимумов x между шагами %1 и %2: период не измерить")
                .arg(from)
                .arg(to));
    Figure<double> mean = finiteFigure(std::fabs(latest - first) / (count - 1),
                                       QStringLiteral("Период вне диапазона чисел"));
    // A mean of spacings that keep growing (Euler's outward spiral) is no
    // period of anything: say how they change. A parabola's vertex places
    // a maximum to a small part of a step, so a change of half a step over
    // the run, and of 0.2 % of the period per cycle, is the method's own.
    const double firstSpacing = std::fabs(second - first);
    const double lastSpacing = std::fabs(latest - previous);
    const double change = lastSpacing - firstSpacing;
    const double perCycle = count > 2 ? change / (count - 2) : 0;
    if (mean.has() && std::fabs(change) > 0.5 * std::fabs(dt) &&
        std::fabs(perCycle) > 0.002 * *mean)
        mean.note = QStringLiteral("циклы %1: промежутки между максимумами x от %2 до %3, "
                                   "в среднем на %4 за цикл; период — среднее по ним")
                        .arg(change > 0 ? QStringLiteral("растут") : QStringLiteral("сокращаются"),
                             brief(firstSpacing), brief(lastSpacing), brief(std::fabs(perCycle)));
    return mean;
}

namespace {
QString stepText(int step, double dt) {
    return QStringLiteral("шага %1 (t = %2)").arg(step).arg(NumberText::fromDouble(step * dt));
}

// A period over from..to cut short before a population that is not
// positive.
Figure<double> periodUpTo(const double* x, int from, int to, double dt, int stop,
                          const QString& afterStop) {
    if (stop <= from)
        return Figure<double>::none(afterStop);
    return RunSummary::period(x, from, std::min(to, stop - 1), dt);
}
} // namespace

RunSummary RunSummary::of(const Input& in) {
    using F = Figure<double>;
    const Trajectory::Rates& r = in.rates;
    RunSummary s;
    s.method = in.method;
    s.dt = r.dt;
    s.span = in.last * r.dt;
    s.equilibrium = Invariant::equilibrium(r);
    s.smallOrbitPeriod = Invariant::smallOrbitPeriod(r);

    const int last = std::max(in.last, 0);
    double minX = in.x[0], minY = in.y[0];
    int stop = -1; // the first step with a population not positive
    for (int i = 0; i <= last; ++i) {
        minX = std::min(minX, in.x[i]);
        minY = std::min(minY, in.y[i]);
        if (stop < 0 && !(in.x[i] > 0 && in.y[i] > 0))
            stop = i;
    }
    s.minX = minX;
    s.minY = minY;
    QString fall;
    if (stop >= 0) {
        const char who = in.x[stop] > 0 ? 'y' : 'x';
        s.firstNonPositive = NonPositive{who, stop, stop * r.dt};
        fall = QStringLiteral("%1 не положителен начиная с %2")
                   .arg(QLatin1Char(who))
                   .arg(stepText(stop, r.dt));
    }
    const int end = stop >= 0 ? stop : last + 1; // steps before it are positive

    s.v0 = Invariant::value(r, in.x[0], in.y[0]);
    if (stop == 0)
        s.v0.reason = QStringLiteral("V0 не определена: %1 не положителен")
                          .arg(in.x[0] > 0 ? QStringLiteral("y0") : QStringLiteral("x0"));
    s.vEnd = end > last ? Invariant::value(r, in.x[last], in.y[last])
                        : F::none(QStringLiteral("V в конце не определена: ") + fall);
    if (!s.v0.has())
        s.drift = F::none(QStringLiteral("Дрейф не определён, как и V в начале"));
    else if (!s.vEnd.has())
        s.drift = F::none(QStringLiteral("Дрейф не определён, как и V в конце"));
    else
        s.drift = finiteFigure(*s.vEnd - *s.v0, QStringLiteral("Дрейф вне диапазона чисел"));
    if (!s.drift.has())
        s.driftPerTime = s.drift;
    else if (s.span == 0)
        s.driftPerTime = F::none(QStringLiteral("Дрейф за единицу времени не определён: t = 0"));
    else
        s.driftPerTime = finiteFigure(
            *s.drift / s.span, QStringLiteral("Дрейф за единицу времени вне диапазона чисел"));

    const bool struck = in.strike >= 1 && in.strike <= last;
    const QString afterFall = QStringLiteral("Период не измерить: ") + fall;
    s.periodBefore = periodUpTo(in.x, 0, struck ? in.strike - 1 : last, r.dt, end, afterFall);
    if (struck)
        s.periodAfter = periodUpTo(in.x, in.strike, last, r.dt, end, afterFall);
    else
        s.periodAfter = F::none(QStringLiteral("Катастрофы нет: весь прогон считается «до» неё"));

    if (struck) {
        const int k = in.strike;
        const auto [xb, yb] = Integrator::advance(in.method, r, in.x[k - 1], in.y[k - 1]);
        Strike d{k, k * r.dt, xb, yb, in.x[k], in.y[k], {}, {}, {}};
        if (end <= k) {
            const F none = F::none(QStringLiteral("V при катастрофе не определена: ") + fall);
            d.vBefore = d.vAfter = d.jump = none;
        } else {
            d.vBefore = Invariant::value(r, xb, yb);
            d.vAfter = Invariant::value(r, d.xAfter, d.yAfter);
            d.jump = d.vBefore.has() && d.vAfter.has()
                         ? finiteFigure(*d.vAfter - *d.vBefore,
                                        QStringLiteral("Скачок V вне диапазона чисел"))
                         : F::none(d.vBefore.reason + d.vAfter.reason);
        }
        s.disaster = d;
    }
    return s;
}
