#include "benchtable.h"

#include <cmath>

QString BenchTable::format(double value, Unit unit) {
    if (unit == KiB)
        return QString::number(value / 1024.0, 'f', 1) + QStringLiteral(" MiB");
    if (std::abs(value) < 1e-3)
        return QString::number(value * 1e6, 'f', 2) + QStringLiteral(" µs");
    if (std::abs(value) < 1.0)
        return QString::number(value * 1e3, 'f', 2) + QStringLiteral(" ms");
    return QString::number(value, 'f', 3) + QStringLiteral(" s");
}

void BenchTable::add(const Row& r) {
    const double ratio = r.value / r.baseline;
    QString goal = QStringLiteral("—");
    QString met = QStringLiteral("—");
    if (r.goalHigh > 0) {
        goal = r.goalLow > 0 ? QStringLiteral("%1 … %2").arg(r.goalLow).arg(r.goalHigh)
                             : QStringLiteral("≤ %1").arg(r.goalHigh);
        met = ratio >= r.goalLow && ratio <= r.goalHigh ? QStringLiteral("yes")
                                                        : QStringLiteral("**no**");
    }
    m_rows += QStringLiteral("| %1 | %2 | %3 | %4: %5 | %6 | %7 | %8 |\n")
                  .arg(r.figure, r.measured + m_where, format(r.value, r.unit), r.baselineName,
                       format(r.baseline, r.unit), QString::number(ratio, 'f', 3), goal, met);
}

void BenchTable::addRows(const QString& markdown) {
    m_rows += markdown;
}

QString BenchTable::rowsMarkdown() const {
    return m_rows;
}

QString BenchTable::toMarkdown() const {
    QString out = QStringLiteral("| # | Measured | Value | Baseline | Ratio | Goal | Met |\n"
                                 "|---|---|---:|---|---:|---|---|\n") +
                  m_rows;
    for (const QString& note : m_notes)
        out += QLatin1Char('\n') + note + QLatin1Char('\n');
    return out;
}
