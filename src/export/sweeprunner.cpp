#include "export/sweeprunner.h"

#include "common/runerror.h"
#include "export/exportrun.h"
#include "extinction/ensemble.h"
#include "model/scenario.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {
const char* const Sides[] = {"withDisaster", "withoutDisaster"};
const char* const Populations[] = {"prey", "predators", "either"};
const char* const Bounds[] = {"fraction", "low", "high"};

// One point's cells, in the order of figureNames().
struct Row {
    double* cells;
    char* defined;
    int next = 0;
    void add(std::optional<double> v) {
        if (v && std::isfinite(*v)) {
            cells[next] = *v;
            defined[next] = 1;
        }
        ++next;
    }
    void add(const Figure<double>& f) { add(f.value); }
};

// Why a point did not run, in one line.
QString reason(const ExportRun& run) {
    try {
        throw;
    } catch (const ExportInputs::Refusal& refusal) {
        return refusal.message;
    } catch (const RunError& e) {
        QString text = e.report().replace(QLatin1Char('\n'), QLatin1Char(' '));
        // The windows' 16-bit step counter, in words.
        if (const Scenario::Steps n = Scenario::steps(run.s.t, run.s.dt);
            e.code() == RunError::Overflow && !n.ok())
            text += QStringLiteral(" (%1)").arg(n.problem);
        return text;
    } catch (const std::bad_alloc&) {
        return RunError(RunError::OutOfMemory).report();
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("неизвестная ошибка в потоке расчёта");
    }
}

void fill(Row& row, const ExportRun& run, const SweepRunner::Setup& setup,
          Extinction::Control& control) {
    const ExportRun::Figures f = run.figures(setup.compareSteps);
    const RunSummary& s = f.summary;
    row.add(s.v0);
    row.add(s.drift);
    row.add(s.driftPerTime);
    row.add(s.minX);
    row.add(s.minY);
    row.add(s.firstNonPositive ? std::optional(double(s.firstNonPositive->step)) : std::nullopt);
    row.add(s.periodBefore);
    row.add(s.periodAfter);
    row.add(s.disaster ? s.disaster->jump.value : std::nullopt);
    if (f.compare) {
        const std::vector<StepHalving::Row>& rows = *f.compare;
        for (std::size_t m = 0; m * StepHalving::Halvings < rows.size(); ++m) {
            row.add(rows[m * StepHalving::Halvings].order);
            row.add(rows[m * StepHalving::Halvings + 1].order);
            row.add(rows[m * StepHalving::Halvings].stateOrder);
        }
    }
    if (!setup.extinction)
        return;
    Extinction::Settings settings = run.inputs.extinction;
    // The points share the cores out; the risk by moment is no column.
    settings.threads = 1;
    settings.moments = 0;
    const Extinction::Result r = Extinction::run(run.scenario(), settings, &control);
    if (!r.failure.isEmpty())
        throw RunError(RunError::OutOfMemory, r.failure);
    for (const Extinction::Side* side : {&r.withDisaster, &r.withoutDisaster})
        for (const Extinction::Share* share : {&side->prey, &side->predators, &side->either})
            for (const double v : {share->fraction, share->low, share->high})
                row.add(share->has() ? std::optional(v) : std::nullopt);
}
} // namespace

long long SweepRunner::Results::failed() const {
    long long n = 0;
    for (const QString& f : failures)
        n += !f.isEmpty();
    return n;
}

QStringList SweepRunner::figureNames(bool compareSteps, bool extinction) {
    QStringList names = {"V0",           "drift",       "driftPerTime",
                         "minX",         "minY",        "firstNonPositive.step",
                         "periodBefore", "periodAfter", "disaster.jump"};
    if (compareSteps)
        for (const Integrator::Method m : Integrator::All) {
            const QString name = Integrator::name(m);
            names << QStringLiteral("order.%1.dt").arg(name)
                  << QStringLiteral("order.%1.dt/2").arg(name)
                  << QStringLiteral("stateOrder.%1").arg(name);
        }
    if (extinction)
        for (const char* side : Sides)
            for (const char* population : Populations)
                for (const char* bound : Bounds)
                    names << QStringLiteral("%1.%2.%3")
                                 .arg(QLatin1String(side), QLatin1String(population),
                                      QLatin1String(bound));
    return names;
}

ExportOptions SweepRunner::optionsAt(const Setup& setup, long long point) {
    ExportOptions o = setup.options;
    place(setup, point, o);
    return o;
}

void SweepRunner::place(const Setup& setup, long long point, ExportOptions& o) {
    for (int k = 0; k < int(setup.swept.size()); ++k) {
        const SweptInput& input = setup.swept[std::size_t(k)];
        const QString text = input.text(SweptInput::indexIn(setup.swept, point, k));
        // As the option would have been typed.
        for (const ExportOptions::Row& row : ExportOptions::table())
            if (input.name == QLatin1String(row.name))
                row.text(o) = text;
        o.given.insert(input.name);
    }
}

SweepRunner::Results SweepRunner::run(const Setup& setup,
                                      const std::function<bool(long long)>& watch) {
    Results out;
    out.figures = figureNames(setup.compareSteps, setup.extinction);
    out.points = SweptInput::points(setup.swept);
    const std::size_t width = std::size_t(out.figures.size());
    out.cells.assign(std::size_t(out.points) * width, 0.0);
    out.defined.assign(std::size_t(out.points) * width, 0);
    out.failures.resize(std::size_t(out.points));
    if (setup.row)
        out.rows.resize(std::size_t(out.points));

    unsigned threads = setup.threads > 0 ? unsigned(setup.threads)
                                         : std::max(1u, std::thread::hardware_concurrency());
    threads = unsigned(std::min<long long>(threads, out.points));
    std::atomic<long long> next{0}, done{0};
    std::atomic<bool> stop{false};
    std::deque<Extinction::Control> controls(threads);
    std::mutex lock;
    std::condition_variable finished;
    unsigned running = 0;
    QString fault;

    const auto work = [&](Extinction::Control& control) {
        try {
            // The worker's own texts: shared ones would have their reference
            // counts changed by every thread at every point.
            ExportOptions own = setup.options;
            for (const ExportOptions::Row& row : ExportOptions::table())
                if (row.kind == ExportOptions::Kind::Text)
                    row.text(own) = QString(row.text(own).constData(), row.text(own).size());
            for (;;) {
                const long long p = next.fetch_add(1);
                if (p >= out.points || stop.load())
                    break;
                Row row{&out.cells[std::size_t(p) * width], &out.defined[std::size_t(p) * width]};
                ExportRun run;
                try {
                    place(setup, p, own);
                    run.read(own);
                    run.calculate();
                    fill(row, run, setup, control);
                } catch (...) {
                    std::fill_n(row.defined, width, 0);
                    out.failures[std::size_t(p)] = reason(run);
                }
                if (setup.row)
                    out.rows[std::size_t(p)] = setup.row(out, p);
                done.fetch_add(1);
            }
        } catch (...) {
            std::lock_guard guard(lock);
            fault = RunError(RunError::OutOfMemory).report();
            stop = true;
        }
        std::lock_guard guard(lock);
        --running;
        finished.notify_all();
    };
    {
        std::vector<std::jthread> pool;
        for (unsigned i = 0; i < threads; ++i) {
            try {
                std::lock_guard guard(lock);
                pool.emplace_back(work, std::ref(controls[i]));
                ++running;
            } catch (const std::exception&) {
                if (i == 0)
                    throw;
                break; // fewer threads, the same rows
            }
        }
        std::unique_lock guard(lock);
        while (!finished.wait_for(guard, std::chrono::milliseconds(100),
                                  [&] { return running == 0; })) {
            guard.unlock();
            if (!stop.load() && !watch(done.load())) {
                stop = true;
                for (Extinction::Control& c : controls)
                    c.stop = true;
            }
            guard.lock();
        }
    }
    out.stopped = stop.load();
    out.fault = fault;
    return out;
}
