// The shell's own pieces in-process: frame pacing and the window.
#include <gtest/gtest.h>

#include <cstdlib>

#include "game/game.h"
#include "support/log_capture.h"

namespace {

TEST(FramePacing, DueTestSurvivesTheTickCounterWrap) {
    EXPECT_TRUE(frame_is_due(1, 1));
    EXPECT_FALSE(frame_is_due(1, 0));
    EXPECT_TRUE(frame_is_due(100, 133));
    EXPECT_FALSE(frame_is_due(133, 100));
    // Planned just past the wrap while the counter has not wrapped yet...
    EXPECT_FALSE(frame_is_due(0xFFFFFFF0u + FRAME_TIME, 0xFFFFFFF0u));
    EXPECT_FALSE(frame_is_due(0x00000011u, 0xFFFFFFFFu));
    // ...and due once it has.
    EXPECT_TRUE(frame_is_due(0x00000011u, 0x00000011u));
    EXPECT_TRUE(frame_is_due(0xFFFFFFF0u, 0x00000005u));
    EXPECT_TRUE(frame_is_due(0x7FFFFFFFu, 0xFFFFFFFEu));
}

TEST(FramePacing, StartRectanglesMatchTheSheet) {
    const FrameRects r = frame_rects_start();
    EXPECT_EQ(r.spriteSrc.w, 10);
    EXPECT_EQ(r.spriteSrc.h, 17);
    EXPECT_EQ(r.barSrc.y, 136);
    EXPECT_EQ(r.barSrc.h, 2);
    EXPECT_EQ(r.barDst.h, 2);
}

class WindowInProcess : public ::testing::Test {
  protected:
    void SetUp() override { setenv("SDL_VIDEODRIVER", "dummy", 1); }
    void TearDown() override {
        if (wnd != nullptr) {
            SDL_DestroyWindow(wnd);
        }
        SDL_Quit();
    }
    SDL_Window* wnd = nullptr;
    SDL_Surface* screen = nullptr;
};

TEST_F(WindowInProcess, OpensTheTitledWindowWithItsSurface) {
    LogCapture log;
    ASSERT_EQ(init_window(&wnd, &screen), 0);
    ASSERT_NE(wnd, nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_STREQ(SDL_GetWindowTitle(wnd), "Skirmlings!");
    EXPECT_EQ(screen->w, 600);
    EXPECT_EQ(screen->h, 400);
    EXPECT_EQ(SDL_GetWindowFlags(wnd) & SDL_WINDOW_RESIZABLE, 0u);
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(WindowInProcess, WarnsAboutFilledSlotsAndGoesOn) {
    LogCapture log;
    wnd = reinterpret_cast<SDL_Window*>(&log); // any non-null value
    ASSERT_EQ(init_window(&wnd, &screen), 0);
    EXPECT_NE(screen, nullptr);
    ASSERT_EQ(log.messages().size(), 1u);
    EXPECT_EQ(log.messages()[0],
              "gWnd and gScreen parameters should both be NULL - check initialisation.");
    EXPECT_NE(log.lines()[0].find("[WARN] (src/game/game.cpp:init_window():"), std::string::npos);
}

TEST_F(WindowInProcess, ReportsAVideoSystemThatCannotStart) {
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    LogCapture log;
    errno = 0;
    EXPECT_EQ(init_window(&wnd, &screen), -1);
    EXPECT_EQ(wnd, nullptr);
    ASSERT_EQ(log.messages().size(), 1u);
    EXPECT_EQ(log.messages()[0].rfind("Failed to initialise SDL properly. Err#-1> ", 0), 0u);
    EXPECT_GT(log.messages()[0].size(), 43u) << "SDL's own reason should follow";
    EXPECT_EQ(errno, 0);
}

} // namespace
