#include "analysis/exactorbit.h"
#include "analysis/integrator.h"
#include "analysis/invariant.h"
#include "analysis/labrun.h"
#include "analysis/runsummary.h"
#include "analysis/stephalving.h"
#include "casetable.h"
#include "export/exportcommand.h"
#include "exportwith.h"
#include "strikerule.h"

#include <QBuffer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <numbers>

// The lab's figures against values worked out from the formulas: V, the
// equilibrium, Euler's per-step growth of V, the disaster's jump, the
// orders of the methods, the exact orbit, the period and the first step
// where a population is not positive.

using Rates = Trajectory::Rates;
using M = Integrator::Method;

static double vOf(const Rates& r, double x, double y) {
    return r.a2 * x - r.k2 * std::log(x) + r.a1 * y - r.k1 * std::log(y);
}

// name, rates (k1, k2, a1, a2, dt), x0, y0; E and V0 by hand
static const std::tuple<const char*, Rates, double, double, double, double, double> sets[] = {
    {"slow", {0.5, 0.3, 0.02, 0.01, 0.1}, 40, 10, 30, 25, -1.6579563827312036},
    {"quick", {1.2, 0.8, 0.4, 0.1, 0.05}, 3, 2, 8, 3, -0.6106664476064222},
};

// Orbits with a far, sharp tip: name, rates, x0, y0.
static const std::tuple<const char*, Rates, double, double> tips[] = {
    {"long in x", {0.3, 0.2, 0.05, 0.02, 0.05}, 2.5, 1.5},
    {"long in both", {1, 0.5, 0.1, 0.1, 0.01}, 0.5, 0.2},
};

// The largest turn between segments, in the curve's own width and height.
static double largestTurn(const std::vector<double>& x, const std::vector<double>& y) {
    const auto [xl, xh] = std::minmax_element(x.begin(), x.end());
    const auto [yl, yh] = std::minmax_element(y.begin(), y.end());
    const double w = *xh - *xl, h = *yh - *yl;
    double most = 0;
    for (std::size_t i = 1; i + 1 < x.size(); ++i) {
        const double ax = (x[i] - x[i - 1]) / w, ay = (y[i] - y[i - 1]) / h;
        const double bx = (x[i + 1] - x[i]) / w, by = (y[i + 1] - y[i]) / h;
        const double c = (ax * bx + ay * by) / std::hypot(ax, ay) / std::hypot(bx, by);
        most = std::max(most, std::acos(std::clamp(c, -1.0, 1.0)));
    }
    return most;
}

// A run of `last` steps from the set's start.
static std::vector<double> xs, ys;
static void run(M m, const Rates& r, double x0, double y0, int last, int strike, double d) {
    xs.assign(std::size_t(last) + 1, 0);
    ys.assign(xs.size(), 0);
    xs[0] = x0;
    ys[0] = y0;
    Integrator::fill(m, r, xs.data(), ys.data(), last, strike, d);
}

// The run the export rows below use: k1 0.6, k2 0.5, a1 0.3, a2 0.4.
static const QString Unseen = "--k1=0,6 --k2=0,5 --a1=0,3 --a2=0,4 --x0=2 --y0=0,5 --dt=0,05 ";

// name, arguments, keys that must be null
static const std::tuple<const char*, const char*, QStringList> undefined[] = {
    {"k1 below 0", "--k1=-0,5 --t=20", {"equilibrium", "smallOrbitPeriod", "periodAfter"}},
    {"x goes negative",
     "--k1=1 --k2=1 --a1=1 --a2=1 --x0=2 --y0=1 --dt=0,2 --t=30",
     {"Vend", "drift", "driftPerTime", "disaster"}},
    {"too short for a period", "--t=3 --disaster=1", {"periodBefore", "periodAfter"}},
    {"x0 is 0", "--x0=0 --t=5 --compare-steps", {"V0", "drift", "firstNonPositive"}},
    {"t 0", "--t=0", {"driftPerTime", "periodBefore"}},
    {"a1 1e-320", "--a1=1e-320 --t=1", {"equilibrium"}},
};

// Coefficients at the ends of the doubles, a 3-step run from (2; 1): the
// equilibrium's reason, then the small period worked out by hand, or its
// reason where it leaves the range.
static const std::tuple<const char*, Rates, const char*> extremes[] = {
    {"a1 1e-320: E.y too large", {0.5, 0.3, 1e-320, 0.2, 0.1}, "k1/a1 слишком велико|"},
    {"k1/a1 below the doubles", {1e-320, 0.3, 1e10, 0.2, 0.1}, "k1/a1 слишком мало|"},
    {"k1 k2 1e-200: 2π/2e-200", {1e-200, 4e-200, 0.4, 0.2, 0.1}, "|3.14159265358979e+200"},
    {"k1 k2 1e200: 2π/3e200", {1e200, 9e200, 0.4, 0.2, 1e-300}, "|2.0943951023932e-200"},
    {"k1 k2 1e-310: too large", {1e-310, 2e-310, 0.4, 0.2, 0.1}, "|Период малой орбиты вне"},
};

// name, k1 k2 a1 a2 dt x0 y0 and the steps at Δt; for Euler, the
// semi-implicit step and RK4 the order of x, y at the end by a plain Python
// loop, or a word of the reason there is none.
static const std::tuple<const char*, const char*, std::array<const char*, 3>> stateOrders[] = {
    {"S1, t = 6",
     "0.55 0.35 0.09 0.06 0.1 4 1.5 60",
     {"1.1544183774948664", "0.9925665327214849", "3.997982911143858"}},
    {"S1, t = 33",
     "0.55 0.35 0.09 0.06 0.1 4 1.5 330",
     {"0.6584515091608808", "1.05182938287097", "4.19910375188038"}},
    {"RK4 at rounding level",
     "0.1 0.2 0.3 0.4 1e-4 0.1 0.1 10000",
     {"1.0000086205935264", "1.0000079696060056", "округления (1,22E-12)"}},
    {"too coarse",
     "0.9 0.6 0.3 0.2 0.5 5 2 40",
     {"шагом Δt прерван", "не уменьшается", "3.9156854286477207"}},
};

// name, arguments (a run of several cycles), the note on the period
// (spacings from a plain Python loop), or none.
static const std::tuple<const char*, const char*, const char*> periodNotes[] = {
    {"Euler's cycles grow", "--k1=0,3 --k2=0,9 --a1=0,15 --a2=0,02 --x0=60 --y0=1 --dt=0,1 --t=200",
     "Период до катастрофы: циклы растут: промежутки между максимумами x от 12,76 до 32,62, в "
     "среднем на 2,206 за цикл; период — среднее по ним"},
    {"semi-implicit, coarse step",
     "--k1=0,55 --k2=0,35 --a1=0,09 --a2=0,06 --x0=4 --y0=1,5 --dt=0,5 --t=300 "
     "--method=semi-implicit",
     ""},
};

// name, arguments, the inputs the summary must say it used (t rounded to
// even as the windows read it; the strike step round(20 / 0,05) by hand).
static const std::tuple<const char*, const char*, const char*> inputRows[] = {
    {"every input given",
     "--k1=0,6 --k2=0,5 --a1=0,3 --a2=0,4 --x0=2 --y0=0,5 --dt=0,05 --t=40 --disaster=20 "
     "--divisor=3 --method=semi-implicit",
     R"({"k1":0.6,"k2":0.5,"a1":0.3,"a2":0.4,"dt":0.05,"t":40,"x0":2,"y0":0.5,
         "method":"semi-implicit","divisor":3,"disasterTime":20,"strikeStep":400})"},
    {"t rounded, disaster past the end",
     "--k1=0,7 --k2=0,4 --a1=0,3 --a2=0,2 --dt=1 --t=10,5 --x0=1,25 --y0=0,75 --disaster=10,6",
     R"({"k1":0.7,"k2":0.4,"a1":0.3,"a2":0.2,"dt":1,"t":10,"x0":1.25,"y0":0.75,
         "method":"euler","divisor":2,"disasterTime":10.6,"strikeStep":null})"},
};

// name, x, y; the plane's extent by hand: up to the first point where a
// population is not positive, and that point, without values beyond 1e300
// (none: NaN); the step the drift says is the first not positive (-1: it
// has a drift).
using Points = std::vector<double>;
static const double none = std::nan("");
static const std::tuple<const char*, Points, Points, std::array<double, 4>, int> extents[] = {
    {"all positive", {3, 1, 2}, {5, 7, 6}, {1, 3, 5, 7}, -1},
    {"x negative at 2", {2, 4, -1, 100}, {3, 1, 5, 0.5}, {-1, 4, 1, 5}, 2},
    {"y zero at 1", {6, 8, 9}, {2, 0, 0.1}, {6, 8, 0, 2}, 1},
    {"a value past 1e300", {2, 1e301, 3}, {1, 2, 4}, {2, 3, 1, 4}, -1},
    {"NaN at 1", {2, none, 9}, {4, 5, 0.25}, {2, 2, 4, 5}, 1},
    {"nothing to show in x", {1e301, 2e301}, {2, 3}, {none, none, 2, 3}, -1},
};

class TestAnalysis : public QObject {
    Q_OBJECT
private slots:
    void valueAndEquilibrium_data() { addRows(sets); }
    void valueAndEquilibrium() {
        const auto& [name, r, x0, y0, ex, ey, v0] = currentRow(sets);
        QVERIFY(std::fabs(*Invariant::value(r, x0, y0) - v0) < 1e-14);
        QCOMPARE((*Invariant::equilibrium(r)).x, ex);
        QCOMPARE((*Invariant::equilibrium(r)).y, ey);
        QVERIFY(!Invariant::value(r, 0, y0).has() && !Invariant::value(r, x0, -1).has());
        QVERIFY(!Invariant::equilibrium({r.k1, r.k2, -r.a1, r.a2, r.dt}).has());
    }

    // V(n+1) − V(n) = k2·φ(a) + k1·φ(b) for every Euler step.
    void eulerGrowth_data() { addRows(sets); }
    void eulerGrowth() {
        const auto& [name, r, x0, y0, ex, ey, v0] = currentRow(sets);
        run(M::Euler, r, x0, y0, 300, -1, 2);
        const auto phi = [](double u) { return u - std::log1p(u); };
        for (std::size_t n = 0; n < 300; ++n) {
            const double a = r.dt * (r.k1 - r.a1 * ys[n]), b = r.dt * (r.a2 * xs[n] - r.k2);
            const double growth = vOf(r, xs[n + 1], ys[n + 1]) - vOf(r, xs[n], ys[n]);
            const double tolerance = 1e-14 * (std::fabs(vOf(r, xs[n], ys[n])) + 1);
            QVERIFY2(std::fabs(growth - (r.k2 * phi(a) + r.k1 * phi(b))) < tolerance,
                     qPrintable(QString::number(n)));
        }
    }

    void strikeJump_data() { addRows(sets); }
    void strikeJump() {
        const auto& [name, r, x0, y0, ex, ey, v0] = currentRow(sets);
        const int k = 37;
        const double d = 3;
        run(M::Euler, r, x0, y0, 80, k, d);
        const RunSummary s = RunSummary::of({M::Euler, r, xs.data(), ys.data(), 80, k, d});
        const double xp = xs[k - 1], yp = ys[k - 1];
        const double xb = xp + r.dt * (r.k1 * xp - r.a1 * xp * yp);
        const double yb = yp + r.dt * (r.a2 * xp * yp - r.k2 * yp);
        QVERIFY(std::fabs(s.disaster->xBefore - xb) < 1e-13 * xb);
        QVERIFY(std::fabs(s.disaster->yBefore - yb) < 1e-13 * yb);
        QCOMPARE(s.disaster->xAfter, s.disaster->xBefore / d);
        const double closed = (r.k1 + r.k2) * std::log(d) - (1 - 1 / d) * (r.a2 * xb + r.a1 * yb);
        QVERIFY(std::fabs(*s.disaster->jump - closed) < 1e-13 * (std::fabs(vOf(r, xb, yb)) + 1));
        QVERIFY(!s.periodAfter.has() && !s.periodAfter.reason.isEmpty());
        // Along the run, each step's jump is V after the division minus V before.
        const std::vector<double> every = Invariant::strikeJumps(r, xs.data(), ys.data(), 80, d);
        for (const std::size_t n : {0, 20, 79})
            QVERIFY(std::fabs(every[n] - (vOf(r, xs[n] / d, ys[n] / d) - vOf(r, xs[n], ys[n]))) <
                    1e-12 * (std::fabs(vOf(r, xs[n], ys[n])) + 1));
    }

    void orders() {
        const auto rows = StepHalving::compare({1.2, 0.8, 0.4, 0.1, 0.01}, 3, 2, 2000, 750, 4);
        QCOMPARE(rows.size(), std::size_t(9));
        const auto& euler = rows[0];
        const auto& rk4 = rows[6];
        QCOMPARE(rk4.method, M::RungeKutta4);
        QVERIFY(std::fabs(*euler.order - 1) < 0.1 && std::fabs(*rk4.order - 4) < 0.2);
        QVERIFY(std::fabs(*rk4.drift) * 100 < std::fabs(*euler.drift));
        QVERIFY(!rows[2].order.has() && rows[4].steps == 4000 && rows[4].dt == 0.005);
    }

    void pathExtent_data() { addRows(extents); }
    void pathExtent() {
        const auto& [name, x, y, want, stop] = currentRow(extents);
        const LabRun::Extent e = LabRun::Extent::of(x, y);
        const LabRun::Range got[] = {e.x, e.y};
        for (int a = 0; a < 2; ++a) {
            QCOMPARE(got[a].any, !std::isnan(want[2 * a]));
            if (got[a].any)
                QCOMPARE((std::array{got[a].min, got[a].max}),
                         (std::array{want[2 * a], want[2 * a + 1]}));
        }
        const Figure<double> d =
            StepHalving::drift(M::Euler, {0.5, 0.3, 0.02, 0.01, 0.1}, x, y, int(x.size()) - 1, -1);
        QCOMPARE(d.has(), stop < 0);
        if (stop >= 0)
            QVERIFY2(d.reason.endsWith(QStringLiteral("с шага %1").arg(stop)),
                     qPrintable(d.reason));
    }

    void stateOrder_data() { addRows(stateOrders); }
    void stateOrder() {
        const auto& [name, inputs, want] = currentRow(stateOrders);
        double v[8];
        QTextStream(inputs) >> v[0] >> v[1] >> v[2] >> v[3] >> v[4] >> v[5] >> v[6] >> v[7];
        const int steps = int(v[7]);
        std::size_t sizes[9] = {};
        const auto keep = [&sizes](int k, const double*, const double*, std::size_t n) {
            sizes[k] = n;
        };
        const auto rows =
            StepHalving::compare({v[0], v[1], v[2], v[3], v[4]}, v[5], v[6], steps, -1, 2, keep);
        for (std::size_t m = 0; m < 3; ++m) {
            const Figure<double>& first = rows[3 * m].stateOrder;
            const Figure<double>& last = rows[3 * m + 2].stateOrder;
            const double number = QByteArray(want[m]).toDouble();
            QVERIFY2(number ? std::fabs(*first - number) < 1e-6 : first.reason.contains(want[m]),
                     qPrintable(first.reason));
            QCOMPARE(last.value, first.value);
        }
        // Each path kept whole, or up to the step before an overflow: Euler's
        // at Δt = 0,5 overflows at step 39 (Python).
        QCOMPARE(sizes[0], std::size_t(steps == 40 ? 39 : steps + 1));
        QCOMPARE(sizes[8], std::size_t(4 * steps + 1));
    }

    // The state's orders under their own key; every null order with its reason.
    void compareStepsJson() {
        const auto [status, json] = exportWith("--k1=0,1 --k2=0,2 --a1=0,3 --a2=0,4 --dt=0,0001 "
                                               "--t=1 --method=rk4 --summary=- --compare-steps");
        const QJsonObject o = QJsonDocument::fromJson(json).object();
        QVERIFY(std::fabs(o["stateOrder"]["euler"].toDouble() - 1.0000086205935264) < 1e-6);
        QVERIFY(o["stateOrder"]["rk4"].isNull() && o["compareSteps"][6]["order"].isNull());
        const QString notes = o["notes"].toVariant().toStringList().join('\n');
        QVERIFY(notes.contains("Последнее деление шага: сравнивать не с чем"));
        QVERIFY(notes.count("Порядок по x, y") == 1 && notes.count("Порядок по V") == 2);
    }

    void exactOrbit_data() { addRows(sets); }
    void exactOrbit() {
        const auto& [name, r, x0, y0, ex, ey, v0] = currentRow(sets);
        const auto orbit = ExactOrbit::through(r, x0, y0, 500);
        const double height = v0 - vOf(r, ex, ey);
        QCOMPARE((*orbit).x.size(), std::size_t(501));
        for (std::size_t i = 0; i < (*orbit).x.size(); ++i)
            QVERIFY(std::fabs(vOf(r, (*orbit).x[i], (*orbit).y[i]) - v0) <= 1e-9 * height);
        QVERIFY(!ExactOrbit::through(r, -x0, y0, 10).has());
    }

    // 360 equal angles leave a corner at the far tip; the smooth curve none.
    void smoothOrbit_data() { addRows(tips); }
    void smoothOrbit() {
        const auto& [name, r, x0, y0] = currentRow(tips);
        const auto rays = ExactOrbit::through(r, x0, y0, 360);
        const auto orbit = ExactOrbit::smooth(r, x0, y0, 360);
        const auto& [x, y] = *orbit;
        QVERIFY(largestTurn(x, y) < 0.025);
        QVERIFY(x.size() <= 20 * 360 + 1 && x.front() == x.back() && y.front() == y.back());
        if (QByteArray(name) == "long in x")
            QVERIFY(largestTurn((*rays).x, (*rays).y) > 0.1);
        const double v0 = vOf(r, x0, y0), height = v0 - vOf(r, r.k2 / r.a2, r.k1 / r.a1);
        for (std::size_t i = 0; i < x.size(); ++i)
            QVERIFY(std::fabs(vOf(r, x[i], y[i]) - v0) <= 1e-9 * height);
    }

    void extremeFigures_data() { addRows(extremes); }
    void extremeFigures() {
        const auto& [name, r, want] = currentRow(extremes);
        run(M::Euler, r, 2, 1, 3, -1, 2);
        const RunSummary s = RunSummary::of({M::Euler, r, xs.data(), ys.data(), 3});
        const Figure<double>& period = s.smallOrbitPeriod;
        const QString said = s.equilibrium.reason + '|' +
                             (period.has() ? QString::number(*period, 'g', 15) : period.reason);
        QVERIFY2(said.contains(QString::fromUtf8(want)), qPrintable(said));
        // Far out beside a small equilibrium, the orbit's rays leave the doubles.
        const auto orbit = ExactOrbit::through({0.5, 0.3, 0.4, 0.2, 0.1}, 1e308, 1, 8);
        QVERIFY(!orbit.has() || std::isfinite((*orbit).x[2] + (*orbit).y[6]));
    }

    // A small orbit keeps the period of the linearised flow.
    void smallOrbitPeriod() {
        const Rates r{0.9, 0.6, 0.3, 0.2, 0.01};
        run(M::RungeKutta4, r, 3.03, 3, 5000, -1, 2);
        const RunSummary s = RunSummary::of({M::RungeKutta4, r, xs.data(), ys.data(), 5000});
        const double expected = 2 * std::numbers::pi / std::sqrt(0.9 * 0.6);
        QVERIFY(std::fabs(*s.periodBefore - expected) < 1e-3 * expected);
        QVERIFY(std::fabs(*s.smallOrbitPeriod - expected) < 1e-12);
    }

    // A cosine of period 1 sampled off its grid, struck while rising: the
    // vertex refinement finds the period, and the step before the strike is
    // no maximum.
    void periodsAroundStrike() {
        xs.assign(171, 0);
        ys.assign(171, 1);
        for (std::size_t i = 0; i < xs.size(); ++i)
            xs[i] = (2 + std::cos(2 * std::numbers::pi * 0.06 * double(i))) / (i >= 47 ? 2 : 1);
        const RunSummary s = RunSummary::of(
            {M::Euler, {0.9, 0.6, 0.3, 0.2, 0.06}, xs.data(), ys.data(), 170, 47, 2});
        QVERIFY(std::fabs(*s.periodBefore - 1) < 3e-3);
        QVERIFY(std::fabs(*s.periodAfter - 1) < 3e-3);
    }

    // Maxima (parabolas' vertices on the grid) at t = 5, 15, 24, 32 and 39:
    // spacings that shrink from 10 to 7, by 1 a cycle.
    void shrinkingCycles() {
        xs.assign(401, -1e9);
        for (std::size_t i = 0; i < xs.size(); ++i)
            for (const double p : {5, 15, 24, 32, 39})
                xs[i] = std::max(xs[i], -std::pow(double(i) / 10 - p, 2));
        const Figure<double> period = RunSummary::period(xs.data(), 0, 400, 0.1);
        QVERIFY(std::fabs(*period - 8.5) < 1e-12);
        QCOMPARE(period.note, "циклы сокращаются: промежутки между максимумами x от 10 до 7, в "
                              "среднем на 1 за цикл; период — среднее по ним");
    }

    void firstNonPositive() {
        const Rates r{1, 1, 1, 1, 0.2};
        run(M::Euler, r, 2, 1, 150, -1, 2);
        const RunSummary s = RunSummary::of({M::Euler, r, xs.data(), ys.data(), 150});
        QCOMPARE(s.firstNonPositive->population, 'x');
        QCOMPARE(s.firstNonPositive->step, 91);
        QCOMPARE(s.firstNonPositive->t, 91 * 0.2);
        QVERIFY(xs[90] > 0 && xs[91] <= 0);
        QVERIFY(!s.vEnd.has() && !s.drift.has() && !s.driftPerTime.has() && s.v0.has());
    }

    // Undefined figures are nulls with notes, never NaN, and the run succeeds.
    void summaryNulls_data() { addRows(undefined); }
    void summaryNulls() {
        const auto& [name, args, nulls] = currentRow(undefined);
        const auto [status, json] = exportWith(QString::fromLatin1(args) + " --summary=-");
        QCOMPARE(status, 0);
        QJsonParseError error;
        const QJsonObject o = QJsonDocument::fromJson(json, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QVERIFY(!json.toLower().contains("nan") && !json.toLower().contains("inf"));
        for (const QString& key : nulls)
            QVERIFY2(o[key].isNull() == (key != "firstNonPositive"), qPrintable(key));
        QVERIFY(!o["notes"].toArray().isEmpty());
    }

    // What the portrait cannot draw it leaves out, and says so.
    void portraitOutOfRange() {
        const auto [status, svg] =
            exportWith("--a1=1e-320 --t=1 --phase-svg=- --nullclines --exact-orbit");
        QCOMPARE(status, 0);
        QVERIFY(QString::fromUtf8(svg)
                    .remove(QRegularExpression("<[^>]*>\\s*"))
                    .count("k1/a1 слишком велико") == 2); // the orbit needs E too
    }

    void periodNote_data() { addRows(periodNotes); }
    void periodNote() {
        const auto& [name, args, note] = currentRow(periodNotes);
        const auto [status, json] = exportWith(QString::fromUtf8(args) + " --summary=-");
        const QJsonObject o = QJsonDocument::fromJson(json).object();
        const QStringList notes = o["notes"].toVariant().toStringList().filter("циклы");
        QCOMPARE(notes, *note ? QStringList{QString::fromUtf8(note)} : QStringList());
    }

    void inputs_data() { addRows(inputRows); }
    void inputs() {
        const auto& [name, args, want] = currentRow(inputRows);
        const auto [status, json] = exportWith(QString::fromUtf8(args) + " --summary=-");
        QCOMPARE(QJsonDocument::fromJson(json)["inputs"].toObject(),
                 QJsonDocument::fromJson(want).object());
    }

    // The summary's figures against a plain Euler loop written here.
    void summaryFigures() {
        const auto [status, json] = exportWith(Unseen + "--t=40 --disaster=20 --divisor=3 "
                                                        "--summary=-");
        QCOMPARE(status, 0);
        const QJsonObject o = QJsonDocument::fromJson(json).object();
        const Rates r{0.6, 0.5, 0.3, 0.4, 0.05};
        double x = 2, y = 0.5, minX = x, xb = 0, yb = 0;
        for (int i = 1; i <= 800; ++i) {
            const double xn = x + 0.05 * (0.6 * x - 0.3 * x * y);
            y = y + 0.05 * (0.4 * x * y - 0.5 * y);
            x = xn;
            if (i == 400) {
                xb = x, yb = y;
                x /= 3, y /= 3;
            }
            minX = std::min(minX, x);
        }
        const auto near = [](double a, double b) {
            return std::fabs(a - b) < 1e-12 * std::fabs(b);
        };
        QVERIFY(near(o["Vend"].toDouble(), vOf(r, x, y)));
        QVERIFY(near(o["drift"].toDouble(), vOf(r, x, y) - vOf(r, 2, 0.5)));
        QVERIFY(near(o["minX"].toDouble(), minX));
        QVERIFY(near(o["disaster"]["xBefore"].toDouble(), xb));
        QVERIFY(near(o["disaster"]["jump"].toDouble(), vOf(r, xb / 3, yb / 3) - vOf(r, xb, yb)));
        QCOMPARE(o["equilibrium"][0].toDouble(), 1.25);
        QCOMPARE(o["dt"].toDouble(), 0.05);
    }

    // The other methods' tables against loops written here; Euler's is
    // today's table byte for byte.
    void methodTables() {
        const QString run = Unseen + "--t=10 --disaster=5 --divisor=4 --csv=-";
        QCOMPARE(exportWith(run + " --method=euler"), exportWith(run));
        for (const char* method : {"semi-implicit", "rk4"}) {
            const QList<QByteArray> rows =
                exportWith(run + " --method=" + method).second.split('\n');
            const double h = 0.05;
            const auto fx = [](double x, double y) { return 0.6 * x - 0.3 * x * y; };
            const auto fy = [](double x, double y) { return 0.4 * x * y - 0.5 * y; };
            double x = 2, y = 0.5;
            for (int i = 1; i <= 200; ++i) {
                if (method[0] == 's') {
                    x += h * fx(x, y);
                    y += h * fy(x, y);
                } else {
                    const double ax = fx(x, y), ay = fy(x, y);
                    const double bx = fx(x + h / 2 * ax, y + h / 2 * ay),
                                 by = fy(x + h / 2 * ax, y + h / 2 * ay);
                    const double cx = fx(x + h / 2 * bx, y + h / 2 * by),
                                 cy = fy(x + h / 2 * bx, y + h / 2 * by);
                    const double dx = fx(x + h * cx, y + h * cy), dy = fy(x + h * cx, y + h * cy);
                    x += h / 6 * (ax + 2 * bx + 2 * cx + dx);
                    y += h / 6 * (ay + 2 * by + 2 * cy + dy);
                }
                if (i == 100)
                    x /= 4, y /= 4;
                const QList<QByteArray> f = rows[i + 1].split(',');
                QVERIFY2(std::fabs(f[2].toDouble() - x) < 1e-13 * x &&
                             std::fabs(f[3].toDouble() - y) < 1e-13 * y,
                         method);
            }
        }
    }

    // The command strikes the step the rule gives, as the windows and the
    // lab do, and says so in its inputs.
    void strikeRuleInCommand_data() { addRows(StrikeRule); }
    void strikeRuleInCommand() {
        const auto& [name, dt, t, time, step] = currentRow(StrikeRule);
        const QString args =
            QStringLiteral("--k1=0,6 --k2=0,5 --a1=0,3 --a2=0,4 --x0=2 --y0=1,5 "
                           "--dt=%1 --t=%2 --disaster=%3 --summary=-")
                .arg(QString::number(dt), QString::number(t), QString::number(time));
        const auto [status, json] = exportWith(args);
        QCOMPARE(status, 0);
        const QJsonValue struck =
            QJsonDocument::fromJson(json).object()["inputs"].toObject()["strikeStep"];
        QCOMPARE(struck.isNull() ? -1 : struck.toInt(), step);
    }

    // A scenario file's values, each overridden by an option given beside it.
    void scenarioOverrides() {
        QTemporaryDir dir;
        const QString path = dir.filePath("lesson.morvane");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"format": "morvane-scenario", "version": 1, "k1": 0.6, "k2": 0.5,
            "a1": 0.3, "a2": 0.4, "dt": 0.05, "t": 12, "x0": 2.5, "y0": 1.5, "method": "rk4",
            "disaster": {"time": 3.05, "divisor": 1000}})");
        file.close();
        const auto inputs = [&](const QString& extra) {
            const auto [status, json] = exportWith("--scenario=" + path + " --summary=- " + extra);
            return QJsonDocument::fromJson(json).object()["inputs"].toObject();
        };
        QJsonObject in = inputs({});
        QCOMPARE(in["k2"].toDouble(), 0.5);
        QCOMPARE(in["method"].toString(), QStringLiteral("rk4"));
        QCOMPARE(in["divisor"].toInt(), 1000);
        QCOMPARE(in["strikeStep"].toInt(), 61); // 3,05 / 0,05
        in = inputs("--k2=0,7 --method=euler --divisor=3 --dt=0,1");
        QCOMPARE(in["k2"].toDouble(), 0.7);
        QCOMPARE(in["a1"].toDouble(), 0.3);
        QCOMPARE(in["method"].toString(), QStringLiteral("euler"));
        QCOMPARE(in["divisor"].toInt(), 3);
        QCOMPARE(in["strikeStep"].toInt(), 30); // 3,05 / 0,1 = 30,5: even
        const auto [status, why] = exportWith("--scenario=" + path + "x --summary=-");
        QCOMPARE(status, 2);
        QVERIFY(why.contains("lesson.morvanex"));
    }
};

QTEST_MAIN(TestAnalysis)
#include "tst_analysis.moc"
