// The game logic's cost: whole games on the headless backend, no trace.

#include "tools/orvanta_sim/simulation.h"

#include <benchmark/benchmark.h>

#include <ostream>
#include <streambuf>

namespace {

class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
};

void wholeGame(benchmark::State& state)
{
    NullBuffer nothing;
    std::ostream out(&nothing);
    orvanta::sim::Options options;
    options.minutes = static_cast<int>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(orvanta::sim::simulate(options, out));
    // Simulated seconds of play per second of wall time.
    const double playedSeconds = options.minutes * 60.0 + 5.5;
    state.counters["sim_s_per_s"] =
        benchmark::Counter(playedSeconds, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(wholeGame)->Arg(10)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
