#include "extinction/ensemble.h"

#include "common/checkedmath.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <mutex>
#include <thread>

namespace Extinction {

namespace {
using IndividualRun::Problem;

// Counts are binned exactly below 1024 and in 64 bins an octave above, up to
// 2³⁰ (past the cap): the band's points are exact for the small populations
// that decide extinction and within 1.1 % for large ones, in memory that
// does not grow with the number of runs.
constexpr int Exact = 1024, PerOctave = 64;
constexpr int Bins = Exact + 20 * PerOctave + 1;

int binOf(std::int64_t v) {
    if (v < Exact)
        return int(std::max<std::int64_t>(v, 0));
    const int b = Exact + int(PerOctave * std::log2(double(v) / Exact));
    return std::min(b, Bins - 1);
}
double valueOf(int bin) {
    return bin < Exact ? bin : Exact * std::exp2((bin - Exact + 0.5) / PerOctave);
}

struct SideTally {
    long long runs = 0, prey = 0, predators = 0, either = 0, explosions = 0;
    std::vector<std::uint32_t> hx, hy; // point × bin

    void add(const IndividualRun::Outcome& o, const IndividualRun::Path& p) {
        ++runs;
        prey += o.x == 0;
        predators += o.y == 0;
        either += o.x == 0 || o.y == 0;
        explosions += o.exploded;
        for (std::size_t i = 0; i < p.times.size(); ++i) {
            ++hx[i * Bins + std::size_t(binOf(p.x[i]))];
            ++hy[i * Bins + std::size_t(binOf(p.y[i]))];
        }
    }
    void merge(const SideTally& o) {
        runs += o.runs;
        prey += o.prey;
        predators += o.predators;
        either += o.either;
        explosions += o.explosions;
        for (std::size_t i = 0; i < hx.size(); ++i) {
            hx[i] += o.hx[i];
            hy[i] += o.hy[i];
        }
    }
};

struct Tally {
    SideTally side[2]; // without, with
    std::vector<long long> momentRuns, momentEither;
    std::uint64_t events = 0;

    Tally(std::size_t points, std::size_t moments) : momentRuns(moments), momentEither(moments) {
        for (SideTally& s : side) {
            s.hx.assign(points * Bins, 0);
            s.hy.assign(points * Bins, 0);
        }
    }
};

// The nearest-rank point q of each grid point's histogram, in units.
std::vector<double> quantiles(const std::vector<std::uint32_t>& h, std::size_t points,
                              long long runs, double q, int omega) {
    std::vector<double> out(points);
    const long long rank = std::max(1LL, (long long)std::ceil(q * double(runs)));
    for (std::size_t i = 0; i < points; ++i) {
        long long seen = 0;
        int b = 0;
        for (; b < Bins - 1; ++b) {
            seen += h[i * Bins + std::size_t(b)];
            if (seen >= rank)
                break;
        }
        out[i] = valueOf(b) / omega;
    }
    return out;
}

double orderStatistic(const std::vector<double>& sorted, double q) {
    const double h = (double(sorted.size()) - 1) * q;
    const std::size_t lo = std::size_t(std::floor(h));
    const std::size_t hi = std::min(lo + 1, sorted.size() - 1);
    return sorted[lo] + (h - double(lo)) * (sorted[hi] - sorted[lo]);
}

Side sideOf(const SideTally& t, std::vector<double> times, std::size_t points, int omega) {
    Side s;
    s.runs = t.runs;
    s.prey = Share::wilson(t.prey, t.runs);
    s.predators = Share::wilson(t.predators, t.runs);
    s.either = Share::wilson(t.either, t.runs);
    s.explosions = t.explosions;
    std::erase_if(times, [](double v) { return v < 0; });
    std::sort(times.begin(), times.end());
    if (!times.empty())
        s.times = Times{orderStatistic(times, 0.1), orderStatistic(times, 0.25),
                        orderStatistic(times, 0.5), orderStatistic(times, 0.75),
                        orderStatistic(times, 0.9)};
    if (t.runs > 0) {
        for (auto [band, h] : {std::pair{&s.x, &t.hx}, std::pair{&s.y, &t.hy}}) {
            band->p10 = quantiles(*h, points, t.runs, 0.1, omega);
            band->p50 = quantiles(*h, points, t.runs, 0.5, omega);
            band->p90 = quantiles(*h, points, t.runs, 0.9, omega);
        }
    }
    return s;
}
} // namespace

Share Share::wilson(long long count, long long of) {
    Share s;
    s.count = count;
    s.of = of;
    if (of <= 0)
        return s;
    const double z = 1.959963984540054, n = double(of), p = double(count) / n;
    const double centre = (p + z * z / (2 * n)) / (1 + z * z / n);
    const double half = z * std::sqrt(p * (1 - p) / n + z * z / (4 * n * n)) / (1 + z * z / n);
    s.fraction = p;
    s.low = std::max(0.0, centre - half);
    s.high = std::min(1.0, centre + half);
    return s;
}

std::optional<Problem> check(const Scenario& s, const Settings& settings) {
    if (settings.omega < 1 || settings.omega > IndividualRun::MostOmega)
        return Problem{"omega", QStringLiteral("особей в единице должно быть целое число от 1 "
                                               "до 10000000")};
    if (settings.runs < 1 || settings.runs > MostRuns)
        return Problem{"runs", QStringLiteral("прогонов должно быть от 1 до 1000000")};
    if (settings.moments != 0 &&
        (settings.moments < FewestMoments || settings.moments > MostMoments))
        return Problem{"by-moment", QStringLiteral("моментов должно быть от 2 до 200")};
    if (settings.threads < 0 || settings.threads > 1024)
        return Problem{"threads", QStringLiteral("потоков должно быть от 1 до 1024")};
    if (const auto p = IndividualRun::check(s, settings.omega))
        return p;
    if (const Scenario::Steps n = s.steps(); !n.ok())
        return Problem{"t", n.problem};
    return std::nullopt;
}

std::vector<double> moments(const Scenario& s, int count) {
    std::vector<double> out;
    const Scenario::Steps n = s.steps();
    if (!n.ok() || count < 1)
        return out;
    for (int m = 0; m < count; ++m) {
        const double at = s.span * (m + 0.5) / count;
        const double step = std::clamp(CheckedMath::roundHalfEven(at / s.dt), 1.0, double(n.count));
        out.push_back(step * s.dt);
    }
    return out;
}

QStringList notesOn(const Result& r, long long done, long long total) {
    QStringList notes;
    if (!r.failure.isEmpty())
        notes << QStringLiteral("Расчёт прерван ошибкой: %1").arg(r.failure);
    else if (r.partial)
        notes << QStringLiteral("Остановлено: готово %1 прогонов из %2, показатели по ним")
                     .arg(done)
                     .arg(total);
    if (!r.hasDisaster)
        notes << QStringLiteral("Катастрофа не задана или не приходится на шаг: с ней и без "
                                "неё — одни и те же прогоны");
    const long long exploded =
        r.withDisaster.explosions + (r.hasDisaster ? r.withoutDisaster.explosions : 0);
    if (exploded > 0)
        notes << QStringLiteral("%1 прогонов превысили %2 особей (взрыв): они остановлены и "
                                "считаются невымершими, их числа после взрыва — последние")
                     .arg(exploded)
                     .arg(IndividualRun::Cap);
    return notes;
}

Result run(const Scenario& s, const Settings& settings, Control* control) {
    Result r;
    Control own;
    Control& c = control ? *control : own;
    r.grid = IndividualRun::grid(s.span, settings.gridPoints);
    r.disasterTime = IndividualRun::strikeTime(s);
    r.hasDisaster = r.disasterTime.has_value();
    const std::vector<double> at = moments(s, settings.moments);
    const std::size_t points = r.grid.size();
    const long long sides = r.hasDisaster ? 2 : 1;
    const long long kinds = sides + (long long)at.size();
    const long long total = kinds * settings.runs;
    c.total = total;
    c.done = 0;

    unsigned threads = settings.threads > 0 ? unsigned(settings.threads)
                                            : std::max(1u, std::thread::hardware_concurrency());
    threads = unsigned(std::min<long long>(threads, total));
    // The first extinction of run i on each side, -1 for none; each slot is
    // written by the one task that makes that run.
    std::vector<double> times[2] = {std::vector<double>(std::size_t(settings.runs), -1.0),
                                    std::vector<double>(std::size_t(settings.runs), -1.0)};
    std::vector<Tally> tallies;
    std::atomic<long long> next{0};
    std::mutex failureLock;

    const auto work = [&](Tally& tally) {
        try {
            IndividualRun::Path path;
            path.times = r.grid;
            for (;;) {
                if (c.stop.load(std::memory_order_relaxed))
                    return;
                const long long task = next.fetch_add(1, std::memory_order_relaxed);
                if (task >= total)
                    return;
                const long long index = task / kinds, kind = task % kinds;
                const bool bySide = kind < sides;
                // The same stream for a run with and without its disaster:
                // the two differ only by what the disaster did.
                const std::optional<double> when =
                    bySide ? (kind == 1 ? r.disasterTime : std::nullopt)
                           : std::optional(at[std::size_t(kind - sides)]);
                const IndividualRun::Outcome o =
                    IndividualRun::simulate(s, settings.omega, settings.seed, std::uint64_t(index),
                                            when, bySide ? &path : nullptr, &c.stop);
                if (o.stopped)
                    return;
                tally.events += o.events;
                if (bySide) {
                    tally.side[kind].add(o, path);
                    if (o.died)
                        times[kind][std::size_t(index)] = o.diedAt;
                } else {
                    const std::size_t m = std::size_t(kind - sides);
                    ++tally.momentRuns[m];
                    tally.momentEither[m] += o.x == 0 || o.y == 0;
                }
                c.done.fetch_add(1, std::memory_order_relaxed);
            }
        } catch (const std::exception& e) {
            std::lock_guard lock(failureLock);
            r.failure = QString::fromLocal8Bit(e.what());
            c.stop = true;
        } catch (...) {
            std::lock_guard lock(failureLock);
            r.failure = QStringLiteral("неизвестная ошибка в потоке расчёта");
            c.stop = true;
        }
    };

    try {
        tallies.reserve(threads);
        for (unsigned i = 0; i < threads; ++i)
            tallies.emplace_back(points, at.size());
    } catch (const std::exception&) {
        r.failure = QStringLiteral("не хватает памяти на потоки расчёта");
        r.partial = true;
        return r;
    }
    {
        std::vector<std::jthread> pool;
        for (unsigned i = 1; i < threads; ++i) {
            try {
                pool.emplace_back(work, std::ref(tallies[i]));
            } catch (const std::exception&) {
                break; // fewer threads, same figures
            }
        }
        work(tallies[0]);
    }

    Tally& sum = tallies[0];
    for (std::size_t i = 1; i < tallies.size(); ++i) {
        for (int k = 0; k < 2; ++k)
            sum.side[k].merge(tallies[i].side[k]);
        for (std::size_t m = 0; m < at.size(); ++m) {
            sum.momentRuns[m] += tallies[i].momentRuns[m];
            sum.momentEither[m] += tallies[i].momentEither[m];
        }
        sum.events += tallies[i].events;
    }
    r.events = sum.events;
    r.withoutDisaster = sideOf(sum.side[0], times[0], points, settings.omega);
    r.withDisaster =
        r.hasDisaster ? sideOf(sum.side[1], times[1], points, settings.omega) : r.withoutDisaster;
    for (std::size_t m = 0; m < at.size(); ++m)
        r.byMoment.push_back({at[m], Share::wilson(sum.momentEither[m], sum.momentRuns[m])});

    r.partial = c.done.load() < total;
    r.notes = notesOn(r, c.done.load(), total);
    return r;
}

} // namespace Extinction
