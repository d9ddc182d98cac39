#pragma once

#include "common/runerror.h"

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
