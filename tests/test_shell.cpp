// The shell's own pieces in-process: frame pacing and the window.
#include <gtest/gtest.h>

#include <cstdlib>

#include "game/game.h"
#include "support/log_capture.h"

namespace {

TEST(FramePacing, DueTestSurvivesTheTickCounterWrap) {
    EXPECT_TRUE(frame_is_due(1, 1));
    EXPECT_FALSE(frame_is_due(1, 0));
    EXPECT_FALSE(frame_is_due(133, 100));
    // Planned just past the wrap while the counter has not wrapped yet...
    EXPECT_FALSE(frame_is_due(0xFFFFFFF0u + FRAME_TIME, 0xFFFFFFF0u));
    // ...and due once it has.
    EXPECT_TRUE(frame_is_due(0x00000011u, 0x00000011u));
    EXPECT_TRUE(frame_is_due(0xFFFFFFF0u, 0x00000005u));
}

TEST(WindowInProcess, OpensTheTitledWindowWarnsOfFilledSlotsAndReportsNoVideo) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    LogCapture log;
    SDL_Surface* screen = nullptr;
    SDL_Window* wnd = reinterpret_cast<SDL_Window*>(&log); // a filled slot
    ASSERT_EQ(init_window(&wnd, &screen), 0);
    EXPECT_STREQ(SDL_GetWindowTitle(wnd), "Skirmlings!");
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->w, 600);
    EXPECT_EQ(screen->h, 400);
    EXPECT_EQ(SDL_GetWindowFlags(wnd) & SDL_WINDOW_RESIZABLE, 0u);
    SDL_DestroyWindow(wnd);
    SDL_Quit();

    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    wnd = nullptr;
    screen = nullptr;
    EXPECT_EQ(init_window(&wnd, &screen), -1);
    EXPECT_EQ(wnd, nullptr);
    SDL_Quit();
    const std::vector<std::string> m = log.messages();
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0], "gWnd and gScreen parameters should both be NULL - check initialisation.");
    EXPECT_EQ(m[1].rfind("Failed to initialise SDL properly. Err#-1> ", 0), 0u);
    EXPECT_GT(m[1].size(), 43u) << "SDL's own reason should follow";
}

} // namespace
