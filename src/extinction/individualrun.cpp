#include "extinction/individualrun.h"

#include "common/checkedmath.h"

#include <cmath>
#include <limits>
#include <random>

namespace IndividualRun {

namespace {
// A uniform number in [0, 1) from the top 53 bits: written out rather than
// left to a distribution, so that the event sequence is the same with
// every standard library, and 1 − u is never 0.
inline double uniform(std::mt19937_64& g) {
    return double(g() >> 11) * 0x1.0p-53;
}

std::mt19937_64 streamOf(std::uint64_t seed, std::uint64_t index) {
    std::seed_seq seq{std::uint32_t(seed), std::uint32_t(seed >> 32), std::uint32_t(index),
                      std::uint32_t(index >> 32)};
    return std::mt19937_64(seq);
}

std::int64_t thinned(std::int64_t n, int divisor, std::mt19937_64& g) {
    if (n <= 0)
        return 0;
    return std::binomial_distribution<std::int64_t>(n, 1.0 / divisor)(g);
}

// Fills the path's points before `limit` (or up to it, when `inclusive`) with
// the counts that held until then.
struct Recorder {
    Path* path;
    std::size_t next = 0;
    void upTo(double limit, bool inclusive, std::int64_t x, std::int64_t y) {
        if (!path)
            return;
        const std::vector<double>& t = path->times;
        while (next < t.size() && (t[next] < limit || (inclusive && t[next] == limit))) {
            path->x[next] = x;
            path->y[next] = y;
            ++next;
        }
    }
};
} // namespace

std::int64_t startCount(double value, int omega) {
    const double n = CheckedMath::roundHalfEven(value * omega);
    return n >= 0 && n <= double(Cap) ? std::int64_t(n) : -1;
}

std::optional<double> strikeTime(const Scenario& s) {
    const Scenario::Strike strike = s.strike();
    if (!strike.ok())
        return std::nullopt;
    return strike.step * s.dt;
}

std::optional<Problem> check(const Scenario& s, int omega) {
    const std::pair<const char*, double> rates[] = {
        {"k1", s.k1}, {"k2", s.k2}, {"a1", s.a1}, {"a2", s.a2}};
    for (const auto& [name, v] : rates) {
        if (!std::isfinite(v))
            return Problem{name, QStringLiteral("коэффициент должен быть числом")};
        if (v < 0)
            return Problem{name, QStringLiteral("коэффициент отрицателен, а частота событий не "
                                                "может быть отрицательной")};
    }
    if (!(s.dt > 0) || !std::isfinite(s.dt))
        return Problem{"dt", QStringLiteral("шаг dt должен быть больше 0")};
    if (!(s.span > 0) || !std::isfinite(s.span))
        return Problem{"t", QStringLiteral("время t должно быть больше 0")};
    if (omega < 1 || omega > MostOmega)
        return Problem{"omega", QStringLiteral("особей в единице должно быть целое число от 1 "
                                               "до 10000000")};
    const std::pair<const char*, double> starts[] = {{"x0", s.x0}, {"y0", s.y0}};
    for (const auto& [name, v] : starts) {
        if (!std::isfinite(v) || v < 0)
            return Problem{name, QStringLiteral("начальное значение должно быть числом не "
                                                "меньше 0")};
        const std::int64_t n = startCount(v, omega);
        if (n < 0)
            return Problem{
                name,
                QStringLiteral("больше %1 особей при Ω = %2: это уже взрыв").arg(Cap).arg(omega)};
        if (n == 0)
            return Problem{name, QStringLiteral("при Ω = %1 это round(Ω·%2) = 0 особей: "
                                                "популяции нет с самого начала")
                                     .arg(omega)
                                     .arg(QLatin1String(name))};
    }
    return std::nullopt;
}

std::vector<double> grid(double span, int points) {
    std::vector<double> t(std::size_t(std::max(points, 2)));
    const std::size_t last = t.size() - 1;
    for (std::size_t i = 0; i < last; ++i)
        t[i] = span * double(i) / double(last);
    t[last] = span;
    return t;
}

Outcome simulate(const Scenario& s, int omega, std::uint64_t seed, std::uint64_t index,
                 std::optional<double> disasterAt, Path* path, const std::atomic<bool>* stop) {
    std::mt19937_64 g = streamOf(seed, index);
    const double T = s.span;
    const double k1 = s.k1, k2 = s.k2, a1 = s.a1 / omega, a2 = s.a2 / omega;
    double strikeAt =
        disasterAt && *disasterAt <= T ? *disasterAt : std::numeric_limits<double>::infinity();
    Outcome out;
    std::int64_t X = startCount(s.x0, omega), Y = startCount(s.y0, omega);
    if (path) {
        path->x.assign(path->times.size(), 0);
        path->y.assign(path->times.size(), 0);
    }
    Recorder rec{path};
    double t = 0;
    const auto died = [&](double when) {
        if (X > 0 && Y > 0)
            return false;
        out.diedAt = when;
        out.died = X == 0 && Y == 0 ? 'b' : X == 0 ? 'x' : 'y';
        return true;
    };

    // Gillespie's direct method while both live.
    bool ended = false;
    while (!ended) {
        const double xd = double(X), yd = double(Y);
        const double born = k1 * xd, eaten = a1 * xd * yd, fed = a2 * xd * yd, dead = k2 * yd;
        const double total = born + eaten + fed + dead;
        const double next = total > 0 ? t - std::log1p(-uniform(g)) / total
                                      : std::numeric_limits<double>::infinity();
        if (strikeAt <= next && strikeAt <= T) {
            // Nothing happened before the strike; a new waiting time after it
            // is as exact as the rest of this one, the wait having no memory.
            rec.upTo(strikeAt, false, X, Y);
            X = thinned(X, s.divisor, g);
            Y = thinned(Y, s.divisor, g);
            t = strikeAt;
            strikeAt = std::numeric_limits<double>::infinity();
            ended = died(t);
            continue;
        }
        if (next > T) {
            rec.upTo(T, true, X, Y);
            out.x = X;
            out.y = Y;
            return out;
        }
        rec.upTo(next, false, X, Y);
        const double pick = uniform(g) * total;
        if (pick < born)
            ++X;
        else if (pick < born + eaten)
            --X;
        else if (pick < born + eaten + fed)
            ++Y;
        else
            --Y;
        t = next;
        ++out.events;
        if (X > Cap || Y > Cap) {
            out.exploded = true;
            rec.upTo(T, true, X, Y);
            out.x = X;
            out.y = Y;
            return out;
        }
        ended = died(t);
        if ((out.events & 1023) == 0 && stop && stop->load(std::memory_order_relaxed)) {
            out.stopped = true;
            return out;
        }
    }

    // One population is gone and the other lives alone: prey that only
    // breed, predators that only die. Their counts at a later time have
    // known laws (negative binomial, binomial), drawn at each point asked for
    // instead of event by event: a prey population left alone would
    // otherwise grow to the cap one birth at a time.
    std::vector<double> stops;
    if (path)
        for (std::size_t i = rec.next; i < path->times.size(); ++i)
            stops.push_back(path->times[i]);
    if (stops.empty() || stops.back() != T)
        stops.push_back(T);
    const auto evolve = [&](double to) {
        const double gap = to - t;
        if (X > 0 && k1 * gap > 0 && X <= Cap) {
            // The run has ended (by extinction, not by explosion); its prey
            // are only held below what a count can take.
            if (double(X) * std::exp(k1 * gap) > 4.0 * double(Cap)) {
                X = Cap + 1;
            } else {
                X += std::negative_binomial_distribution<std::int64_t>(X, std::exp(-k1 * gap))(g);
            }
        }
        if (Y > 0 && k2 * gap > 0)
            Y = std::binomial_distribution<std::int64_t>(Y, std::exp(-k2 * gap))(g);
        t = to;
    };
    for (const double at : stops) {
        if (strikeAt <= at) {
            // At the same time the strike comes first, as in the windows'
            // series: the value at a struck step is the divided one.
            evolve(strikeAt);
            X = thinned(X, s.divisor, g);
            Y = thinned(Y, s.divisor, g);
            strikeAt = std::numeric_limits<double>::infinity();
        }
        evolve(at);
        rec.upTo(at, true, X, Y);
    }
    out.x = X;
    out.y = Y;
    return out;
}

} // namespace IndividualRun
