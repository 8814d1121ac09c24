// A long battle drawn frame after frame, as fast as it goes, with the
// crowd checked after every frame. SKIRMLINGS_SOAK_FRAMES sets the length
// (default: ten minutes of play at the game's pace).
#include <gtest/gtest.h>

#include <cstdlib>

#include "game/game.h"
#include "game/image.h"
#include "man/man.h"
#include "share/share_utils.h"
#include "support/crowd.h"
#include "support/log_capture.h"

namespace {

long soakFrames() {
    const char* set = std::getenv("SKIRMLINGS_SOAK_FRAMES");
    return set != nullptr ? std::atol(set) : 10L * 60 * 1000 / FRAME_TIME;
}

TEST(Soak, TenMinutesOfFramesKeepTheCrowdSound) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDL_Window* wnd = nullptr;
    SDL_Surface* screen = nullptr;
    SDL_Surface* background = nullptr;
    SDL_Surface* sheet = nullptr;
    ASSERT_EQ(init_window(&wnd, &screen), 0);
    ASSERT_EQ(load_image(&background, "back2.bmp"), 0);
    ASSERT_EQ(load_image(&sheet, "men.bmp"), 0);
    SDL_SetColorKey(sheet, SDL_TRUE, SDL_MapRGB(sheet->format, 0, 255, 0));

    LogCapture log;
    Util_SeedRandWith(424242u);
    ASSERT_EQ(Man_init(), 0);
    spawn_men();
    FrameRects rects = frame_rects_start();
    std::string dead;
    const long frames = soakFrames();
    for (long f = 0; f < frames; ++f) {
        ASSERT_EQ(draw_frame(screen, background, sheet, &rects), 0) << "frame " << f;
        SDL_UpdateWindowSurface(wnd);
        const std::string fault = crowdFault(dead);
        ASSERT_EQ(fault, "") << "after frame " << f;
    }
    // The battle was fought: men died, and nothing but deaths was logged.
    EXPECT_LT(Man_getAliveCount(), 100);
    for (const std::string& m : log.messages()) {
        ASSERT_NE(m.find("has died. Blurgh!"), std::string::npos) << m;
    }

    Man_freeAll();
    SDL_FreeSurface(background);
    SDL_FreeSurface(sheet);
    SDL_DestroyWindow(wnd);
    SDL_Quit();
}

} // namespace
