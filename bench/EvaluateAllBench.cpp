// Cost of evaluating every controller once, as the main loop does each frame: 100 controllers
// with 10, 1,000 and 100,000 keys each. "Playing" evaluates at the times of 60 frames per second
// through the show, as the main loop does; "Seeking" at random times, as an author jumping around
// would. The binary search makes the work per controller grow with the logarithm of the key
// count; with 100,000 keys per controller (80 MB in all) random times also wait for memory.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "sync/Sync_ControllerList.h"

namespace {

using tavoFramework::Sync_Controller;
using tavoFramework::Sync_ControllerList;
using tavoFramework::Sync_Segment;

constexpr int controllerCount = 100;
constexpr float showLength = 2105.0f;  // seconds

// 100 controllers of `keyCount` keys spread evenly over the show, with random values and curves.
void fillList(Sync_ControllerList& list, int keyCount)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::uniform_int_distribution<int> mode(1, 4);
    for (int c = 0; c < controllerCount; ++c) {
        Sync_Controller* controller = list.findOrCreate(("controller " + std::to_string(c)).c_str());
        controller->keys.reserve(static_cast<std::size_t>(keyCount));
        for (int k = 0; k < keyCount; ++k)
            controller->addKey(showLength * static_cast<float>(k) / static_cast<float>(keyCount), unit(random));
        for (Sync_Segment& segment : controller->segments)
            segment = Sync_Segment{mode(random), 1};
    }
}

void run(benchmark::State& state, const std::vector<float>& times)
{
    Sync_ControllerList list;
    fillList(list, static_cast<int>(state.range(0)));
    std::size_t next = 0;
    for (auto _ : state) {
        list.evaluateAll(times[next]);
        next = (next + 1) % times.size();
        benchmark::DoNotOptimize(list.at(0)->value);
    }
    state.counters["per controller"] = benchmark::Counter(static_cast<double>(state.iterations()) * controllerCount,
                                                          benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// As the show plays: one evaluation per frame at 60 frames per second, through the whole show.
void EvaluateAllPlaying(benchmark::State& state)
{
    std::vector<float> times;
    for (int frame = 0; frame < static_cast<int>(showLength * 60.0f); ++frame)
        times.push_back(static_cast<float>(frame) / 60.0f);
    run(state, times);
}

// As an author seeks: every evaluation at a random time, so no search profits from the one before.
void EvaluateAllSeeking(benchmark::State& state)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<float> unit(0.0f, showLength);
    std::vector<float> times(4096);
    for (float& time : times)
        time = unit(random);
    run(state, times);
}

BENCHMARK(EvaluateAllPlaying)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(EvaluateAllSeeking)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
