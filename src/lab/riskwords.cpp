#include "lab/riskwords.h"

#include "common/numbertext.h"

#include <algorithm>
#include <cmath>

namespace {
using namespace Extinction;

// One decimal, as a student reads a share; NumberText's comma, never the
// C locale's point, and never "nan".
QString percent(double fraction) {
    if (!std::isfinite(fraction))
        return QStringLiteral("нет (не число)");
    const double rounded = std::round(fraction * 1000.0) / 10.0;
    QString text = NumberText::fromDouble(rounded, 15);
    if (!text.contains(QLatin1Char(',')))
        text += QStringLiteral(",0");
    return text + QStringLiteral(" %");
}

QString interval(const Share& s) {
    return QStringLiteral("95 %: %1–%2").arg(percent(s.low).chopped(2), percent(s.high));
}

QString time(double t) {
    return std::isfinite(t) ? NumberText::fromDouble(t, 3) : QStringLiteral("нет (не число)");
}

// "Хищники вымерли в 37,2 % прогонов (95 %: 34,3–40,2 %); без катастрофы — в 0,4 %".
QString shareLine(const QString& who, const QString& verb, const Share& with,
                  const std::optional<Share>& without) {
    if (!with.has())
        return QStringLiteral("%1: нет (ни один прогон не закончен)").arg(who);
    QString line = QStringLiteral("%1 %2 в %3 прогонов (%4)")
                       .arg(who, verb, percent(with.fraction), interval(with));
    if (without)
        line += without->has() ? QStringLiteral("; без катастрофы — в %1 (%2)")
                                     .arg(percent(without->fraction), interval(*without))
                               : QStringLiteral("; без катастрофы — нет (ни одного прогона)");
    return line;
}

QString timesLine(const std::optional<Times>& t) {
    if (!t)
        return QStringLiteral("нет (ни в одном прогоне никто не вымер)");
    return QStringLiteral("половина — до t = %1, 80 % — от %2 до %3")
        .arg(time(t->p50), time(t->p10), time(t->p90));
}
} // namespace

QString RiskWords::percent(double fraction) {
    return ::percent(fraction);
}

QStringList RiskWords::lines(const Result& r, int divisor) {
    const Side& w = r.withDisaster;
    const std::optional<Share> none;
    const auto without = [&](const Share& s) {
        return r.hasDisaster ? std::optional<Share>(s) : none;
    };
    QStringList lines;
    if (!r.hasDisaster)
        lines << QStringLiteral("Катастрофы нет (или она не попадает на шаг): одни прогоны.");
    else if (r.disasterTime)
        lines << QStringLiteral("Катастрофа при t = %1, делитель %2.")
                     .arg(time(*r.disasterTime))
                     .arg(divisor);
    lines << shareLine(QStringLiteral("Жертвы"), QStringLiteral("вымерли"), w.prey,
                       without(r.withoutDisaster.prey))
          << shareLine(QStringLiteral("Хищники"), QStringLiteral("вымерли"), w.predators,
                       without(r.withoutDisaster.predators))
          << shareLine(QStringLiteral("Хотя бы одна популяция"), QStringLiteral("вымерла"),
                       w.either, without(r.withoutDisaster.either));
    lines << QStringLiteral("Первое вымирание: %1").arg(timesLine(w.times));
    if (r.hasDisaster)
        lines << QStringLiteral("Без катастрофы: %1").arg(timesLine(r.withoutDisaster.times));
    if (w.explosions > 0 || r.withoutDisaster.explosions > 0)
        lines << QStringLiteral("Рост сверх 10⁹ особей (считается отдельно): %1 прогонов, без "
                                "катастрофы — %2")
                     .arg(w.explosions)
                     .arg(r.withoutDisaster.explosions);
    if (!r.byMoment.empty()) {
        const auto worst = std::max_element(
            r.byMoment.begin(), r.byMoment.end(), [](const Moment& a, const Moment& b) {
                return b.either.has() && (!a.either.has() || a.either.fraction < b.either.fraction);
            });
        if (worst != r.byMoment.end() && worst->either.has())
            lines << QStringLiteral("Опаснее всего катастрофа при t = %1: хотя бы одна "
                                    "популяция вымерла в %2 прогонов.")
                         .arg(time(worst->t), percent(worst->either.fraction));
    }
    return lines;
}
