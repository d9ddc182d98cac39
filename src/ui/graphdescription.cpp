#include "ui/graphdescription.h"

#include "common/numbertext.h"
#include "model/modelstate.h"
#include "model/trajectory.h"

#include <algorithm>
#include <cstddef>

namespace {
struct Extremes {
    std::size_t largest = 0;
    std::size_t smallest = 0;
};

// The first step at which each extreme is reached, as the eye finds it
// going along the curve.
Extremes extremes(const double* v, std::size_t n) {
    Extremes e;
    for (std::size_t i = 1; i < n; ++i) {
        if (v[i] > v[e.largest])
            e.largest = i;
        if (v[i] < v[e.smallest])
            e.smallest = i;
    }
    return e;
}

QString at(const ModelState& s, std::size_t step) {
    return NumberText::fromDouble(double(step) * s.dt);
}
} // namespace

QString GraphDescription::noGraph() {
    return QStringLiteral("Графика ещё нет: введите значения и нажмите «Рассчитать».");
}

QString GraphDescription::text(const ModelState& s) {
    const std::size_t n = std::min(s.xSeries.size(), s.ySeries.size());
    if (n == 0)
        return noGraph();
    const double* x = s.xSeries.data();
    const double* y = s.ySeries.data();
    const Extremes ex = extremes(x, n);
    const Extremes ey = extremes(y, n);
    QString d = QStringLiteral("Время от 0 до %1, шагов: %2, шаг %3. ")
                    .arg(NumberText::fromInt(s.t), NumberText::fromInt((long long)(n - 1)),
                         NumberText::fromDouble(s.dt));
    d += QStringLiteral("Наибольшее x = %1 при t = %2, наибольшее y = %3 при t = %4. ")
             .arg(NumberText::fromDouble(x[ex.largest]), at(s, ex.largest),
                  NumberText::fromDouble(y[ey.largest]), at(s, ey.largest));
    d += QStringLiteral("Наименьшее x = %1 при t = %2, наименьшее y = %3 при t = %4. ")
             .arg(NumberText::fromDouble(x[ex.smallest]), at(s, ex.smallest),
                  NumberText::fromDouble(y[ey.smallest]), at(s, ey.smallest));
    // The step the run divided at; a mark at step 0 or past the end strikes nothing.
    const double strike = Trajectory::disasterStep(s);
    if (strike >= 1 && strike <= double(n - 1))
        d += QStringLiteral("Катастрофа при t = %1: обе популяции разделены на %2.")
                 .arg(at(s, std::size_t(strike)), NumberText::fromInt(s.disasterFactor));
    else
        d += QStringLiteral("Катастрофы не было.");
    return d;
}
