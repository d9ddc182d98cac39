#include "analysis/labrun.h"

#include "analysis/invariant.h"
#include "common/checkedmath.h"
#include "common/numbertext.h"
#include "common/runerror.h"
#include "plot/phaseview.h"

#include <algorithm>
#include <cmath>
#include <future>

namespace {
// The steps `method` takes from x[0], y[0]; the last step computed, with
// the place an overflow stopped it in `stopped`.
int fillUpTo(Integrator::Method method, const Trajectory::Rates& rates, std::vector<double>& x,
             std::vector<double>& y, int last, int strike, double divisor, QString* stopped) {
    const int done =
        Integrator::fillUntilOverflow(method, rates, x.data(), y.data(), last, strike, divisor);
    if (done < last && stopped)
        *stopped = QStringLiteral("Переполнение на шаге %1 (t = %2): дальше числа не считаются")
                       .arg(done + 1)
                       .arg(NumberText::fromDouble((done + 1) * rates.dt));
    return done;
}
} // namespace

void LabRun::Range::add(double v) {
    if (!(std::abs(v) <= PhaseView::Largest))
        return;
    min = any ? std::min(min, v) : v;
    max = any ? std::max(max, v) : v;
    any = true;
}

void LabRun::Range::add(const Range& r) {
    if (r.any) {
        add(r.min);
        add(r.max);
    }
}

LabRun::Extent LabRun::Extent::of(const std::vector<double>& x, const std::vector<double>& y) {
    return of(x.data(), y.data(), std::min(x.size(), y.size()));
}

LabRun::Extent LabRun::Extent::of(const double* x, const double* y, std::size_t n) {
    // One pass over the positive prefix, in registers: a path of the
    // compared steps has up to 131068 points, and nine are made at every
    // move. Within the prefix every value is above 0, so a value is kept
    // when it is at most Largest; a value beyond it can be the least only
    // when none is kept, and then the highest tells there is no range.
    constexpr double Largest = PhaseView::Largest;
    double xLow = HUGE_VAL, xHigh = -HUGE_VAL, yLow = HUGE_VAL, yHigh = -HUGE_VAL;
    std::size_t i = 0;
    for (; i < n; ++i) {
        const double a = x[i], b = y[i];
        if (!(a > 0 && b > 0))
            break;
        xLow = std::min(xLow, a);
        xHigh = std::max(xHigh, a <= Largest ? a : -HUGE_VAL);
        yLow = std::min(yLow, b);
        yHigh = std::max(yHigh, b <= Largest ? b : -HUGE_VAL);
    }
    Extent e;
    if (xLow <= xHigh)
        e.x = Range{xLow, xHigh, true};
    if (yLow <= yHigh)
        e.y = Range{yLow, yHigh, true};
    // The first point that is not positive is shown too, if it can be.
    if (i < n)
        e.add(x[i], y[i]);
    return e;
}

LabRun LabRun::of(const Scenario& p, bool compare) {
    LabRun run;
    run.params = p;
    const Scenario::Steps steps = p.steps();
    run.problem = steps.problem;
    if (run.problem.isEmpty() && (!std::isfinite(p.x0) || !std::isfinite(p.y0)))
        run.problem = QStringLiteral("Начальные значения должны быть числами");
    if (!run.problem.isEmpty())
        return run;

    const Trajectory::Rates rates = p.rates();
    const int count = steps.count;
    run.strike = p.strike().step;
    run.x.resize(std::size_t(count) + 1);
    run.y.resize(run.x.size());
    run.x[0] = p.x0;
    run.y[0] = p.y0;
    run.last = fillUpTo(p.method, rates, run.x, run.y, count, run.strike, p.divisor, &run.stopped);
    run.x.resize(std::size_t(run.last) + 1);
    run.y.resize(run.x.size());
    if (run.strike > run.last)
        run.strike = -1;
    // The compared steps are most of the work with "Сравнить шаги" on; the
    // other core makes them while this one makes the rest.
    std::future<void> halving;
    if (compare)
        halving = std::async(std::launch::async, [&run, &p, rates, count] {
            // The nine paths come from the halving itself, computed once;
            // each worker fills its own slots.
            run.compared.resize(std::size(Integrator::All) * StepHalving::Halvings);
            run.comparedExtents.resize(run.compared.size());
            const auto keep = [&run](int k, const double* x, const double* y, std::size_t n) {
                run.comparedExtents[std::size_t(k)] = Extent::of(x, y, n);
                Path& path = run.compared[std::size_t(k)];
                path.method = Integrator::All[k / StepHalving::Halvings];
                path.halving = k % StepHalving::Halvings;
                const std::size_t stride = std::max<std::size_t>(1, n / DrawnPoints);
                path.x.reserve(n / stride + 2);
                path.y.reserve(n / stride + 2);
                for (std::size_t i = 0; i < n; i += stride) {
                    path.x.push_back(x[i]);
                    path.y.push_back(y[i]);
                }
                if ((n - 1) % stride != 0) {
                    path.x.push_back(x[n - 1]);
                    path.y.push_back(y[n - 1]);
                }
            };
            run.rows = StepHalving::compare(rates, p.x0, p.y0, count, run.strike, p.divisor, keep);
        });
    run.summary = RunSummary::of(
        {p.method, rates, run.x.data(), run.y.data(), run.last, run.strike, double(p.divisor)});
    run.extent = Extent::of(run.x, run.y);
    run.orbit = ExactOrbit::smooth(rates, p.x0, p.y0, OrbitPoints);

    // Where a disaster would help: along the run as it goes without one.
    if (run.strike < 0) {
        run.jumps =
            Invariant::strikeJumps(rates, run.x.data(), run.y.data(), run.x.size(), p.divisor);
    } else {
        std::vector<double> x(std::size_t(count) + 1), y(x.size());
        x[0] = p.x0;
        y[0] = p.y0;
        const int last = fillUpTo(p.method, rates, x, y, count, -1, p.divisor, nullptr);
        run.jumps =
            Invariant::strikeJumps(rates, x.data(), y.data(), std::size_t(last) + 1, p.divisor);
    }

    if (halving.valid())
        halving.get();
    return run;
}
