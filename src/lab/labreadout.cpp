#include "lab/labreadout.h"

#include "common/numbertext.h"

QString LabReadout::vMeaning() {
    return QStringLiteral("V = α2·x − k2·ln x + α1·y − k1·ln y; на точной орбите V не меняется, "
                          "шаг Эйлера её сдвигает (дрейф), катастрофа меняет скачком");
}

QString LabReadout::figure(const Figure<double>& f, int digits) {
    if (!f.has())
        return QStringLiteral("нет (%1)").arg(f.reason);
    const QString n = NumberText::fromDouble(*f, digits);
    return f.note.isEmpty() ? n : QStringLiteral("%1 (%2)").arg(n, f.note);
}

QStringList LabReadout::lines(const LabRun& run, int digits) {
    const auto number = [digits](double v) { return NumberText::fromDouble(v, digits); };
    const auto figure = [digits](const Figure<double>& f) { return LabReadout::figure(f, digits); };
    if (!run.problem.isEmpty())
        return {QStringLiteral("Нет расчёта: ") + run.problem};
    const RunSummary& s = run.summary;
    QStringList out;
    out << (s.equilibrium.has() ? QStringLiteral("Равновесие: x = %1; y = %2")
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
        auto v = [&number](const Figure<double>& f) {
            return f.has() ? number(*f) : QStringLiteral("нет");
        };
        out << QStringLiteral("До катастрофы: x = %1; y = %2; V = %3")
                   .arg(number(d.xBefore), number(d.yBefore), v(d.vBefore));
        out << QStringLiteral("После катастрофы: x = %1; y = %2; V = %3")
                   .arg(number(d.xAfter), number(d.yAfter), v(d.vAfter));
        out << QStringLiteral("Скачок ΔV = ") + figure(d.jump);
    }
    return out;
}

QList<LabFiles::Row> LabReadout::rows(const LabRun& run) {
    using Row = LabFiles::Row;
    if (!run.problem.isEmpty())
        return {Row{QStringLiteral("Нет расчёта"), std::nullopt, run.problem}};
    const RunSummary& s = run.summary;
    QList<Row> out;
    const auto add = [&out](const QString& label, const Figure<double>& f) {
        out << Row{label, f.value, f.has() ? f.note : f.reason};
    };
    if (s.equilibrium.has()) {
        out << Row{QStringLiteral("Равновесие x"), s.equilibrium->x, {}};
        out << Row{QStringLiteral("Равновесие y"), s.equilibrium->y, {}};
    } else {
        out << Row{QStringLiteral("Равновесие"), std::nullopt, s.equilibrium.reason};
    }
    add(QStringLiteral("V₀"), s.v0);
    add(QStringLiteral("V(T)"), s.vEnd);
    add(QStringLiteral("Дрейф V(T) − V₀"), s.drift);
    add(QStringLiteral("Дрейф в единицу времени"), s.driftPerTime);
    out << Row{QStringLiteral("Наименьший x"), s.minX, {}};
    out << Row{QStringLiteral("Наименьший y"), s.minY, {}};
    add(QStringLiteral("Период до катастрофы"), s.periodBefore);
    add(QStringLiteral("Период после катастрофы"), s.periodAfter);
    add(QStringLiteral("Малый период 2π/√(k1·k2)"), s.smallOrbitPeriod);
    if (s.firstNonPositive) {
        const QString who = QStringLiteral("Популяция %1 неположительна")
                                .arg(QLatin1Char(s.firstNonPositive->population));
        out << Row{who + QStringLiteral(": шаг"), double(s.firstNonPositive->step), {}};
        out << Row{who + QStringLiteral(": t"), s.firstNonPositive->t, {}};
    }
    if (!run.stopped.isEmpty())
        out << Row{QStringLiteral("Расчёт остановлен"), std::nullopt, run.stopped};
    if (s.disaster) {
        const RunSummary::Strike& d = *s.disaster;
        out << Row{QStringLiteral("До катастрофы x"), d.xBefore, {}};
        out << Row{QStringLiteral("До катастрофы y"), d.yBefore, {}};
        add(QStringLiteral("До катастрофы V"), d.vBefore);
        out << Row{QStringLiteral("После катастрофы x"), d.xAfter, {}};
        out << Row{QStringLiteral("После катастрофы y"), d.yAfter, {}};
        add(QStringLiteral("После катастрофы V"), d.vAfter);
        add(QStringLiteral("Скачок ΔV"), d.jump);
    }
    return out;
}
