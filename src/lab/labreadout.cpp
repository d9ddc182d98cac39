#include "lab/labreadout.h"

#include "common/numbertext.h"

namespace {
QString number(double v) {
    return NumberText::fromDouble(v);
}
} // namespace

QString LabReadout::figure(const Figure<double>& f) {
    if (!f.has())
        return QStringLiteral("нет (%1)").arg(f.reason);
    return f.note.isEmpty() ? number(*f) : QStringLiteral("%1 (%2)").arg(number(*f), f.note);
}

QStringList LabReadout::lines(const LabRun& run) {
    if (!run.problem.isEmpty())
        return {QStringLiteral("Нет расчёта: ") + run.problem};
    const RunSummary& s = run.summary;
    QStringList out;
    out << (s.equilibrium.has() ? QStringLiteral("Равновесие: x = %1, y = %2")
                                      .arg(number(s.equilibrium->x), number(s.equilibrium->y))
                                : QStringLiteral("Равновесие: нет (%1)").arg(s.equilibrium.reason));
    out << QStringLiteral("V₀ = ") + figure(s.v0);
    out << QStringLiteral("V(T) = ") + figure(s.vEnd);
    out << QStringLiteral("Дрейф V(T) − V₀ = ") + figure(s.drift);
    out << QStringLiteral("Дрейф в единицу времени = ") + figure(s.driftPerTime);
    out << QStringLiteral("Наименьшие x, y: %1 и %2").arg(number(s.minX), number(s.minY));
    out << QStringLiteral("Период до катастрофы: ") + figure(s.periodBefore);
    out << QStringLiteral("Период после катастрофы: ") + figure(s.periodAfter);
    out << QStringLiteral("Малый период 2π/√(k1·k2) = ") + figure(s.smallOrbitPeriod);
    if (s.firstNonPositive)
        out << QStringLiteral("Популяция %1 стала неположительной на шаге %2 (t = %3)")
                   .arg(QLatin1Char(s.firstNonPositive->population))
                   .arg(s.firstNonPositive->step)
                   .arg(number(s.firstNonPositive->t));
    if (!run.stopped.isEmpty())
        out << run.stopped;
    if (s.disaster) {
        const RunSummary::Strike& d = *s.disaster;
        auto v = [](const Figure<double>& f) {
            return f.has() ? number(*f) : QStringLiteral("нет");
        };
        out << QStringLiteral("До катастрофы: x = %1, y = %2, V = %3")
                   .arg(number(d.xBefore), number(d.yBefore), v(d.vBefore));
        out << QStringLiteral("После катастрофы: x = %1, y = %2, V = %3")
                   .arg(number(d.xAfter), number(d.yAfter), v(d.vAfter));
        out << QStringLiteral("Скачок ΔV = ") + figure(d.jump);
    }
    return out;
}
