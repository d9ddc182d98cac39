#pragma once

// The model written out from its formula, for checking exported numbers:
//   dx = (k1*x - a1*x*y) * dt,  dy = (a2*x*y - k2*y) * dt,
// both from the values of the step before; at the struck step both
// populations are divided by the divisor. No code of the program is used.

#include <QByteArray>
#include <QList>
#include <cmath>
#include <vector>

struct EulerInputs {
    double k1, k2, a1, a2, dt, x0, y0;
    int t;
    int strike = -1; // step struck, -1: none
    double divisor = 2;
};

struct EulerRows {
    std::vector<double> x, y;
};

inline EulerRows eulerReference(const EulerInputs& in) {
    const long n = std::lround(std::nearbyint(in.t / in.dt));
    EulerRows r;
    r.x.push_back(in.x0);
    r.y.push_back(in.y0);
    for (long i = 1; i <= n; ++i) {
        const double x = r.x.back();
        const double y = r.y.back();
        double nx = x + (in.k1 * x - in.a1 * x * y) * in.dt;
        double ny = y + (in.a2 * x * y - in.k2 * y) * in.dt;
        if (i == in.strike) {
            nx /= in.divisor;
            ny /= in.divisor;
        }
        r.x.push_back(nx);
        r.y.push_back(ny);
    }
    return r;
}

// The fields of a CSV text, row by row, with the header first.
inline QList<QList<QByteArray>> csvFields(const QByteArray& text, char separator) {
    QList<QList<QByteArray>> rows;
    for (const QByteArray& line : text.split('\n'))
        if (!line.isEmpty())
            rows << line.split(separator);
    return rows;
}

// A number as a spreadsheet reads it: decimal comma or point.
inline double csvNumber(QByteArray field) {
    bool ok = false;
    const double v = field.replace(',', '.').toDouble(&ok);
    return ok ? v : NAN;
}
