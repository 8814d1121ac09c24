// What one frame of the game costs, against the floor of any frame: the
// background alone, and a plain copy of the window's bytes.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "game/game.h"
#include "game/image.h"
#include "man/man.h"
#include "share/share_utils.h"

namespace {

// The game's window and bitmaps on SDL's dummy video driver.
struct Stage {
    SDL_Window* wnd = nullptr;
    SDL_Surface* screen = nullptr;
    SDL_Surface* background = nullptr;
    SDL_Surface* sheet = nullptr;

    bool open() {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        if (init_window(&wnd, &screen) != 0 || load_image(&background, "back2.bmp") != 0 ||
            load_image(&sheet, "men.bmp") != 0) {
            return false;
        }
        SDL_SetColorKey(sheet, SDL_TRUE, SDL_MapRGB(sheet->format, 0, 255, 0));
        return true;
    }
    ~Stage() {
        SDL_FreeSurface(background);
        SDL_FreeSurface(sheet);
        if (wnd != nullptr) {
            SDL_DestroyWindow(wnd);
        }
        SDL_Quit();
    }
};

// A fresh crowd as the game spawns it, from a fixed seed.
void spawnCrowd() {
    Util_SeedRandWith(20261206u);
    (void)Man_init();
    spawn_men();
}

void BM_Frame(benchmark::State& state) {
    Stage stage;
    if (!stage.open()) {
        state.SkipWithError("the window or the bitmaps did not open");
        return;
    }
    spawnCrowd();
    FrameRects rects = frame_rects_start();
    for (auto _ : state) {
        // Keep the crowd near its full hundred: a battle thins it out.
        if (Man_getAliveCount() < 90) {
            state.PauseTiming();
            spawnCrowd();
            state.ResumeTiming();
        }
        if (draw_frame(stage.screen, stage.background, stage.sheet, &rects) != 0) {
            state.SkipWithError("a frame failed");
            break;
        }
        SDL_UpdateWindowSurface(stage.wnd);
    }
    Man_freeAll();
}
BENCHMARK(BM_Frame)->Unit(benchmark::kMicrosecond);

void BM_BackgroundOnly(benchmark::State& state) {
    Stage stage;
    if (!stage.open()) {
        state.SkipWithError("the window or the bitmaps did not open");
        return;
    }
    for (auto _ : state) {
        SDL_BlitSurface(stage.background, nullptr, stage.screen, nullptr);
        SDL_UpdateWindowSurface(stage.wnd);
    }
}
BENCHMARK(BM_BackgroundOnly)->Unit(benchmark::kMicrosecond);

void BM_MemcpyFloor(benchmark::State& state) {
    constexpr std::size_t BYTES = std::size_t{SCREEN_WIDTH} * SCREEN_HEIGHT * 4;
    std::vector<unsigned char> from(BYTES, 0x5A);
    std::vector<unsigned char> to(BYTES);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), BYTES);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MemcpyFloor)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
