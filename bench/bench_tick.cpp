// One tick of a whole crowd: every living man updated once, in slot order,
// as the frame loop does it.
#include <benchmark/benchmark.h>

#include "game/game.h"
#include "man/man.h"
#include "share/share_utils.h"

namespace {
constexpr int WARM_UP_TICKS = 60; // past the first scans, into the fighting
constexpr const char* NAME = "Billy";

void tick() {
    std::int32_t count = 0;
    Man* const men = Man_getList(&count);
    for (std::int32_t id = 0; id < count; ++id) {
        if (men[id].dead == 0) {
            benchmark::DoNotOptimize(Man_update(&men[id]));
        }
    }
}

// A fresh crowd of n men anywhere on the field, fighting already.
void populate(std::int32_t n) {
    Man_freeAll();
    Man_setMax(n);
    (void)Man_init();
    for (std::int32_t i = 0; i < n; ++i) {
        const int walkVariance = Util_Rand(60) + 10;
        const int team = Util_Rand(8);
        const int variant = Util_Rand(3);
        const int speed = Util_Rand(3) + 1;
        const int maxHealth = Util_Rand(50) + 20;
        const int y = Util_Rand(SCREEN_HEIGHT - CELL_H - 4) + 2;
        const int x = Util_Rand(SCREEN_WIDTH - CELL_W - 4) + 2;
        (void)Man_create(x, y, maxHealth, 4, speed, variant, team, walkVariance, NAME);
    }
    for (int i = 0; i < WARM_UP_TICKS; ++i) {
        tick();
    }
}

void BM_Tick(benchmark::State& state) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    Util_SeedRandWith(12345);
    populate(n);
    std::int64_t respawns = 0;
    for (auto _ : state) {
        // The battle thins the crowd; measure it while it is still a crowd.
        if (Man_getAliveCount() < n / 2) {
            state.PauseTiming();
            populate(n);
            ++respawns;
            state.ResumeTiming();
        }
        tick();
    }
    state.counters["respawns"] = static_cast<double>(respawns);
    Man_freeAll();
    Man_setMax(100);
}
} // namespace

BENCHMARK(BM_Tick)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
