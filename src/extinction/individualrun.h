#pragma once

#include "model/scenario.h"

#include <QString>
#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

// The model counted in individuals: Ω individuals make one unit of x or y,
// and the four terms of the equations become four events that each change a
// count by one, at rates k1·X (a prey born), α1·X·Y/Ω (a prey eaten),
// α2·X·Y/Ω (a predator born) and k2·Y (a predator dead). Divided by Ω its
// mean follows the windows' equations while the counts are large; a small
// population dies out by chance, which the equations never do.
//
// A run is a pure function of the scenario, Ω, the seed and the run's index:
// its random stream is derived from the seed and the index alone, so that
// the same runs come out whichever thread makes them and in whatever order.
namespace IndividualRun {

// Where the counts pass this, the run stops as an explosion: the events
// would take minutes, and the question was extinction.
constexpr std::int64_t Cap = 1'000'000'000;
constexpr int MostOmega = 10'000'000;

// Why a scenario or Ω cannot be run, naming the field as the command's
// option does ("k1", "omega", "x0").
struct Problem {
    QString field;
    QString message;
};

// Negative or unreadable rates, a span or step that is no run, Ω outside
// 1 … 10⁷, a start count that rounds to 0 or passes the cap.
std::optional<Problem> check(const Scenario& s, int omega);

// The start counts round(Ω·x0), round(Ω·y0), ties to even as everywhere.
std::int64_t startCount(double value, int omega);

// The disaster's model time: the strike step times dt; none while the
// scenario has no disaster or it strikes no step.
std::optional<double> strikeTime(const Scenario& s);

struct Outcome {
    // The counts at T, or where the run stopped.
    std::int64_t x = 0, y = 0;
    // The first extinction: when, and which ('x', 'y', or 'b' for both at
    // once, as a disaster can do); 0 when neither died before T.
    double diedAt = 0;
    char died = 0;
    bool exploded = false;
    // Stopped from outside before T: the figures are incomplete.
    bool stopped = false;
    // Gillespie events, for the benchmark.
    std::uint64_t events = 0;
};

// The counts at fixed times, when a caller wants the path.
struct Path {
    std::vector<double> times; // increasing, the last one T
    std::vector<std::int64_t> x, y;
};

// The fixed grid of a span: `points` times from 0 to T, both ends included.
std::vector<double> grid(double span, int points);

// One run. `disasterAt`: the time of the binomial thinning (every individual
// survives with probability 1/divisor), or none. `path`, when given, has its
// times set and gets the counts at them. `stop` is read every few thousand
// events, so that a long run ends soon after it is set.
Outcome simulate(const Scenario& s, int omega, std::uint64_t seed, std::uint64_t index,
                 std::optional<double> disasterAt, Path* path = nullptr,
                 const std::atomic<bool>* stop = nullptr);

} // namespace IndividualRun
