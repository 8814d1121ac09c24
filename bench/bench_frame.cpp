// What one frame of the game costs, against the floor its SDL calls set:
// the same drawing with no game logic. The background alone and a plain
// copy of the window's bytes are printed for reference.
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

// The frame's drawing alone: the background, then the same colour-keyed
// blits of the same cells and bars to the same places as BM_Frame's battle
// (recorded from it beforehand, frame by frame), then the present.
void BM_DrawOnly(benchmark::State& state) {
    Stage stage;
    if (!stage.open()) {
        state.SkipWithError("the window or the bitmaps did not open");
        return;
    }
    constexpr std::size_t RECORDED = 1024;
    std::vector<std::vector<std::pair<SDL_Rect, SDL_Rect>>> frames(RECORDED);
    spawnCrowd();
    FrameRects rects = frame_rects_start();
    for (auto& blits : frames) {
        if (Man_getAliveCount() < 90) {
            spawnCrowd();
        }
        for (Man* man = gMen; man < gMen + gAllocHead; ++man) {
            if (man->dead != 0) {
                continue;
            }
            (void)Man_update(man);
            (void)Man_getSpriteBox(man, &rects.spriteSrc, &rects.spriteDst.x, &rects.spriteDst.y);
            (void)Man_getHealthBox(man, &rects.barSrc, &rects.barDst);
            blits.emplace_back(rects.spriteSrc, rects.spriteDst);
            if (man->health >= 0) {
                blits.emplace_back(rects.barSrc, rects.barDst);
            }
        }
    }
    Man_freeAll();
    std::size_t frame = 0;
    for (auto _ : state) {
        SDL_BlitSurface(stage.background, nullptr, stage.screen, nullptr);
        for (auto [src, dst] : frames[frame++ % RECORDED]) {
            SDL_BlitSurface(stage.sheet, &src, stage.screen, &dst);
        }
        SDL_UpdateWindowSurface(stage.wnd);
    }
}
BENCHMARK(BM_DrawOnly)->Unit(benchmark::kMicrosecond);

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
