#include "analysis/labrun.h"

#include "analysis/invariant.h"
#include "common/checkedmath.h"
#include "common/numbertext.h"

#include <cmath>

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

int LabRun::strikeStep(const Params& p, int last) {
    if (!(p.strikeTime > 0))
        return -1;
    const double step = CheckedMath::roundHalfEven(p.strikeTime / p.dt);
    return step >= 1 && step <= last ? int(step) : -1;
}

LabRun LabRun::of(const Params& p, bool compare) {
    LabRun run;
    run.params = p;
    const double steps = p.span / p.dt;
    if (!(p.dt > 0) || !std::isfinite(p.dt))
        run.problem = QStringLiteral("Шаг Δt должен быть числом больше 0");
    else if (!(p.span > 0) || !std::isfinite(p.span))
        run.problem = QStringLiteral("Время t должно быть числом больше 0");
    else if (!(steps < MostSteps + 0.5))
        run.problem =
            QStringLiteral("Шагов t/Δt больше %1: увеличьте Δt или уменьшите t").arg(MostSteps);
    else if (CheckedMath::roundHalfEven(steps) < 1)
        run.problem = QStringLiteral("Меньше одного шага: Δt больше t");
    else if (!std::isfinite(p.x0) || !std::isfinite(p.y0))
        run.problem = QStringLiteral("Начальные значения должны быть числами");
    if (!run.problem.isEmpty())
        return run;

    const Trajectory::Rates rates = p.rates();
    const int count = int(CheckedMath::roundHalfEven(steps));
    run.strike = strikeStep(p, count);
    run.x.resize(std::size_t(count) + 1);
    run.y.resize(run.x.size());
    run.x[0] = p.x0;
    run.y[0] = p.y0;
    run.last = fillUpTo(p.method, rates, run.x, run.y, count, run.strike, p.divisor, &run.stopped);
    run.x.resize(std::size_t(run.last) + 1);
    run.y.resize(run.x.size());
    if (run.strike > run.last)
        run.strike = -1;
    run.summary = RunSummary::of(
        {p.method, rates, run.x.data(), run.y.data(), run.last, run.strike, double(p.divisor)});
    run.orbit = ExactOrbit::through(rates, p.x0, p.y0, OrbitPoints);

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

    if (!compare)
        return run;
    // The nine paths come from the halving itself, computed once.
    run.rows = StepHalving::compare(rates, p.x0, p.y0, count, run.strike, p.divisor, &run.compared);
    return run;
}
