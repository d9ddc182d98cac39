#pragma once

#include "extinction/individualrun.h"

#include <QStringList>
#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

// Many individual runs of one scenario, on every core, and what they say
// together: how often each population died out by T, when, and the spread
// of the counts over time; the same without the disaster, and with the
// disaster moved to each of M moments. Run i draws from stream i whatever
// thread makes it, and the figures are sums, counts and order statistics,
// which do not depend on the order the runs finish in: the same inputs give
// the same figures bit for bit on any number of threads.
namespace Extinction {

struct Settings {
    int omega = 100;
    int runs = 1000;
    std::uint64_t seed = 20'240'529;
    int threads = 0;  // 0: every core
    int moments = 24; // 0: no risk by moment
    int gridPoints = 101;
};

static constexpr int MostRuns = 1'000'000;
static constexpr int FewestMoments = 2, MostMoments = 200;

// Ω, the runs, the moments and the threads in range, then the scenario.
std::optional<IndividualRun::Problem> check(const Scenario& s, const Settings& settings);

// A share of the runs with its 95 % Wilson interval.
struct Share {
    long long count = 0, of = 0;
    double fraction = 0, low = 0, high = 0;
    // None of none: `of` = 0 has no fraction, and has() says so.
    static Share wilson(long long count, long long of);
    bool has() const { return of > 0; }
};

// Order statistics of the first extinction's time (type 7: the linear
// interpolation between the two nearest order statistics).
struct Times {
    double p10 = 0, p25 = 0, p50 = 0, p75 = 0, p90 = 0;
};

// x or y over the grid in units (counts / Ω): median and the 10 % and
// 90 % points across the runs.
struct Band {
    std::vector<double> p10, p50, p90;
};

struct Side {
    long long runs = 0; // finished
    Share prey, predators, either;
    std::optional<Times> times; // none when no run died out
    long long explosions = 0;
    Band x, y;
};

struct Moment {
    double t = 0; // the model time the disaster strikes
    Share either;
};

struct Result {
    std::vector<double> grid;
    Side withDisaster, withoutDisaster;
    // Whether the scenario has a disaster that strikes a step at all; when
    // not, both sides are the same runs.
    bool hasDisaster = false;
    std::optional<double> disasterTime;
    std::vector<Moment> byMoment;
    bool partial = false;
    std::uint64_t events = 0;
    // A fault inside a worker, in words; the figures are then partial.
    QString failure;
    QStringList notes;
};

// Read while the ensemble runs, from any thread.
struct Control {
    std::atomic<bool> stop{false};
    std::atomic<long long> done{0};
    std::atomic<long long> total{0};
};

// The moments of the risk by moment: the middles of M equal pieces of the
// span, each moved to the step the strike rule gives it.
std::vector<double> moments(const Scenario& s, int count);

// The notes under a result's figures: a fault or a stop (`done` of `total`
// runs made), the same runs on both sides, the runs that exploded, each
// counted once.
QStringList notesOn(const Result& r, long long done, long long total);

// Blocks until every run is made or `control->stop` is set; then the
// figures of the runs that finished, marked partial. Throws nothing: a
// fault in a worker ends the ensemble with `failure` set. The scenario and
// settings must have passed check().
Result run(const Scenario& s, const Settings& settings, Control* control = nullptr);

} // namespace Extinction
