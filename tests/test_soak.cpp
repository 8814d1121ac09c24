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

TEST(Soak, TenMinutesOfFramesKeepTheCrowdSound) {
    const char* set = std::getenv("SKIRMLINGS_SOAK_FRAMES");
    const long frames = set != nullptr ? std::atol(set) : 10L * 60 * 1000 / FRAME_TIME;
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDL_Window* wnd = nullptr;
    SDL_Surface *screen = nullptr, *background = nullptr, *sheet = nullptr;
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
    for (long f = 1; f <= frames; ++f) {
        ASSERT_EQ(draw_frame(screen, background, sheet, &rects), 0) << "frame " << f;
        SDL_UpdateWindowSurface(wnd);
        // Every living man stays inside the walking box with a direction and
        // frame he can have, and nobody comes back from the dead.
        std::int32_t alive = 0;
        for (std::size_t j = 0; j < dead.size(); ++j) {
            const Man& m = gMen[j];
            ASSERT_FALSE(dead[j] && m.dead == 0) << "man " << j << " rose on frame " << f;
            dead[j] = m.dead != 0;
            alive += m.dead == 0 ? 1 : 0;
            ASSERT_TRUE(m.dead != 0 || (m.x > 1.0f && m.x + 10.0f < 599.0f && m.y > 1.0f &&
                                        m.y + 17.0f < 399.0f && m.direction >= 0 &&
                                        m.direction <= 8 && m.animFrame >= 0 && m.animFrame <= 3))
                << "man " << j << " strayed on frame " << f;
        }
        ASSERT_EQ(alive, Man_getAliveCount()) << "frame " << f;
        firstDeath = firstDeath < 0 && alive < 100 ? f : firstDeath;
        halfFallen = halfFallen < 0 && alive <= 50 ? f : halfFallen;
    }
    // The battle was fought: the first man fell within twenty seconds, half
    // of them within two minutes, and nothing but deaths was logged.
    std::printf("first death on frame %ld, half fallen on frame %ld\n", firstDeath, halfFallen);
    EXPECT_TRUE(firstDeath > 0 && firstDeath <= 600);
    EXPECT_TRUE(frames < 3600 || (halfFallen > 0 && halfFallen <= 3600));
    for (const std::string& m : log.messages()) {
        ASSERT_TRUE(m.ends_with("has died. Blurgh!")) << m;
    }
    Man_freeAll();
    SDL_FreeSurface(background);
    SDL_FreeSurface(sheet);
    SDL_DestroyWindow(wnd);
    SDL_Quit();
}
