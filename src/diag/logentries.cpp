#include "diag/logentries.h"

#include "common/numbertext.h"

QString LogEntries::separator() {
    return QString(34, QLatin1Char('-'));
}

QStringList LogEntries::startBlock(const ModelState& state, const QDateTime& now) {
    const QString sep = separator();
    auto num = [](double v) { return NumberText::fromDouble(v); };
    return {sep,
            sep,
            QStringLiteral("-------------LOG START------------"),
            sep,
            sep,
            QStringLiteral("Date:") + NumberText::fromDateTime(now),
            sep,
            QStringLiteral("DebugMode=1"),
            QStringLiteral("x0=") + num(state.xSeries.empty() ? 0.0 : state.xSeries[0]),
            QStringLiteral("y0=") + num(state.ySeries.empty() ? 0.0 : state.ySeries[0]),
            QStringLiteral("k1=") + num(state.k1),
            QStringLiteral("k2=") + num(state.k2),
            QStringLiteral("a1=") + num(state.a1),
            QStringLiteral("a2=") + num(state.a2),
            QStringLiteral("dt=") + num(state.dt)};
}

QStringList LogEntries::elapsedGroup(const QString& name, float seconds) {
    return {separator(), name + QLatin1Char('=') + NumberText::fromSingle(seconds), separator()};
}

QString LogEntries::point(int i, double x, double y) {
    const QString step = NumberText::fromInt(i);
    return QLatin1Char('x') + step + QLatin1Char('=') + NumberText::fromDouble(x) +
           QStringLiteral("           y") + step + QLatin1Char('=') + NumberText::fromDouble(y);
}

QStringList LogEntries::endBlock() {
    const QString sep = separator();
    return {sep, sep, QStringLiteral("--------------LOG END-------------"), sep, sep};
}
