#pragma once

#include "common/runerror.h"

#include <QStringList>
#include <QTest>
#include <cmath>
#include <iterator>
#include <tuple>
#include <vector>

// Data-driven tests whose rows are tuples named by their first element: the
// QtTest table carries only the row number, so that each case stays one line
// and the test function unpacks it with a structured binding.
template <class Rows> void addRows(const Rows& rows) {
    QTest::addColumn<int>("row");
    int i = 0;
    for (const auto& r : rows)
        QTest::newRow(std::get<0>(r)) << i++;
}

template <class Rows> const auto& currentRow(const Rows& rows) {
    QFETCH(int, row);
    return *(std::begin(rows) + row);
}

// The RunError code a call ends with, 0 when it returns normally.
template <class F> int errorOf(F&& f) {
    try {
        f();
        return 0;
    } catch (const RunError& e) {
        return e.code();
    }
}

// Runs the statements; a RunError fails the row with its report instead of
// escaping the test function and ending the whole test executable.
#define RUNS(...)                                                                                  \
    do {                                                                                           \
        try {                                                                                      \
            __VA_ARGS__;                                                                           \
        } catch (const RunError& e) {                                                              \
            QFAIL(qPrintable(e.report()));                                                         \
        }                                                                                          \
    } while (0)

// The Euler pair written out from the model's equations, with one strike, as
// the reference the code is checked against.
struct Plain {
    std::vector<double> x, y;
    double peak = 0;
};
inline Plain plainEuler(double k1, double k2, double a1, double a2, double dt, int steps, double x0,
                        double y0, int struck = -1, double factor = 1) {
    Plain p{{x0}, {y0}};
    for (int i = 1; i <= steps; ++i) {
        const double x = p.x.back(), y = p.y.back();
        double xi = x + dt * (k1 * x - a1 * x * y);
        double yi = y + dt * (a2 * x * y - k2 * y);
        p.peak = std::max({p.peak, xi, yi});
        if (i == struck) {
            xi /= factor;
            yi /= factor;
        }
        p.x.push_back(xi);
        p.y.push_back(yi);
    }
    return p;
}
// Equal to the last few bits: the reference groups the terms its own way.
inline bool nearlyEqual(double a, double b) {
    return std::fabs(a - b) <= 1e-12 * std::max(1.0, std::fabs(b));
}

// The eight input texts, k1 k2 a1 a2 dt x0 y0 t as typed and separated by
// spaces, with the run the reference makes of them.
struct TypedRun {
    QStringList texts;
    double dt;
    Plain want;
};
inline TypedRun typedRun(const char* texts, int struck = -1, double factor = 1) {
    TypedRun r{QString::fromUtf8(texts).split(u' '), 0, {}};
    double v[8];
    for (int i = 0; i < 8; ++i)
        v[i] = QString(r.texts[i]).replace(u',', u'.').toDouble();
    r.dt = v[4];
    r.want = plainEuler(v[0], v[1], v[2], v[3], v[4], int(std::lround(v[7] / v[4])), v[5], v[6],
                        struck, factor);
    return r;
}

// Where a saved table of a run departs from the reference: its header, a
// row's step, t = step * dt, x and y read back as a spreadsheet would (the
// decimal separator the style's own), or the number of rows. Empty: none.
// The spreadsheet variant (';') opens with a byte-order mark; t is step · Δt
// to 12 significant digits.
inline QString csvMismatch(const QByteArray& text, char separator, const TypedRun& run) {
    const QList<QByteArray> lines = text.split('\n');
    const QByteArray header =
        (separator == ';' ? "\xEF\xBB\xBF" : "") + QByteArray("step,t,x,y").replace(',', separator);
    if (lines.value(0) != header || text.contains('\r'))
        return "header or line ends: " + QString::fromUtf8(text.left(40));
    const char other = separator == ';' ? '.' : ',';
    const char decimal = separator == ';' ? ',' : '.';
    const auto number = [](QByteArray f) { return f.replace(',', '.').toDouble(); };
    const std::size_t n = run.want.x.size();
    for (std::size_t i = 0; i < n; ++i) {
        const QList<QByteArray> f = lines.value(qsizetype(i) + 1).split(separator);
        if (f.size() != 4 || f[0].toULongLong() != i || f.join().contains(other) ||
            f[1] != QByteArray::number(double(i) * run.dt, 'g', 12).replace('.', decimal) ||
            number(f[2]) != run.want.x[i] || number(f[3]) != run.want.y[i])
            return QStringLiteral("step %1: %2, want %3 %4")
                .arg(i)
                .arg(QString::fromUtf8(lines.value(qsizetype(i) + 1)))
                .arg(run.want.x[i], 0, 'g', 17)
                .arg(run.want.y[i], 0, 'g', 17);
    }
    return lines.size() == qsizetype(n) + 2 && lines.last().isEmpty()
               ? QString()
               : QStringLiteral("%1 lines for %2 steps").arg(lines.size()).arg(n);
}
