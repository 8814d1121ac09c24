// A long battle drawn frame after frame, as fast as it goes, with the
// crowd checked after every frame. SKIRMLINGS_SOAK_FRAMES sets the length
// (default: ten minutes of play at the game's pace).
#include <gtest/gtest.h>

#include <cstdlib>

#include "game/game.h"
#include "game/image.h"
#include "man/man.h"
#include "share/share_utils.h"
#include "support/log_capture.h"

namespace {

long soakFrames() {
    const char* set = std::getenv("SKIRMLINGS_SOAK_FRAMES");
    return set != nullptr ? std::atol(set) : 10L * 60 * 1000 / FRAME_TIME;
}

// Empty when the crowd is sound: every living man inside the walking box
// with a direction and frame he can have, nobody back from the dead (dead
// remembers who was), and the count of the living right.
std::string crowdFault(std::vector<bool>& dead) {
    std::int32_t alive = 0;
    for (std::int32_t j = 0; j < gAllocHead; ++j) {
        const Man& m = gMen[j];
        if (dead[static_cast<std::size_t>(j)] && m.dead == 0) {
            return "man " + std::to_string(j) + " came back from the dead";
        }
        dead[static_cast<std::size_t>(j)] = m.dead != 0;
        const bool sound = m.x > 1.0f && m.x + 10.0f < 599.0f && m.y > 1.0f &&
                           m.y + 17.0f < 399.0f && m.direction >= 0 && m.direction <= 8 &&
                           m.animFrame >= 0 && m.animFrame <= 3;
        if (m.dead == 0 && !sound) {
            return "man " + std::to_string(j) + " left the box or his ranges";
        }
        alive += m.dead == 0 ? 1 : 0;
    }
    return alive == Man_getAliveCount() ? "" : "alive count " + std::to_string(alive);
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
    std::vector<bool> dead(SPAWN_COUNT);
    long firstDeath = -1, halfFallen = -1;
    for (long f = 1; f <= soakFrames(); ++f) {
        ASSERT_EQ(draw_frame(screen, background, sheet, &rects), 0) << "frame " << f;
        SDL_UpdateWindowSurface(wnd);
        ASSERT_EQ(crowdFault(dead), "") << "after frame " << f;
        firstDeath = firstDeath < 0 && Man_getAliveCount() < 100 ? f : firstDeath;
        halfFallen = halfFallen < 0 && Man_getAliveCount() <= 50 ? f : halfFallen;
    }
    // The battle was fought: the first man fell within twenty seconds, half
    // of them within two minutes, and nothing but deaths was logged.
    std::printf("first death on frame %ld, half fallen on frame %ld\n", firstDeath, halfFallen);
    EXPECT_TRUE(firstDeath > 0 && firstDeath <= 600);
    EXPECT_TRUE(soakFrames() < 3600 || (halfFallen > 0 && halfFallen <= 3600));
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
