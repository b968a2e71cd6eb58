// One position computation of the built-in tracking: the Moon's and the Sun's topocentric
// azimuth and elevation for one place and time (what each 1.5 s tracking tick computes).
#include "sky/sky_position.h"

#include <benchmark/benchmark.h>

namespace {

using vantora::BodyDirection;
using vantora::SkyBody;
using vantora::SkyObserver;

void BodyPosition(benchmark::State& state, SkyBody body)
{
    const SkyObserver home{17.9583, 49.9792, 0.0};
    double t = 1765195200.0;  // 2025-12-08 12:00 UTC
    for (auto _ : state) {
        benchmark::DoNotOptimize(BodyDirection(body, t, home));
        t += 1.5;  // a new time each round, as the ticks have
    }
}

void BM_MoonPosition(benchmark::State& state)
{
    BodyPosition(state, SkyBody::Moon);
}

void BM_SunPosition(benchmark::State& state)
{
    BodyPosition(state, SkyBody::Sun);
}

BENCHMARK(BM_MoonPosition)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SunPosition)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
