// The real game in a real window on a private X server, driven by keys and
// signals as a player and the desktop would drive it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <thread>

#include "support/build.h"
#include "xdrive/xvfb.h"

namespace {

// Index of the first line at or after from that ends with text; -1 if none.
long findLine(const std::vector<std::string>& lines, const std::string& text, long from = 0) {
    for (long i = from; i < static_cast<long>(lines.size()); ++i) {
        const std::string& l = lines[static_cast<std::size_t>(i)];
        if (l.size() >= text.size() && l.compare(l.size() - text.size(), text.size(), text) == 0) {
            return i;
        }
    }
    return -1;
}

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(x.ok()) << "Xvfb did not start"; }
    Xvfb x;
    TempDir work;
};

TEST_F(WindowTest, OpensItsWindowAndQuitsInOrderOnRequest) {
    GameOnScreen game(x, builtGame(), work.path());
    ASSERT_TRUE(game.waitForWindow()) << game.output();
    const RunResult geometry = x.client({"xdotool", "getwindowgeometry", game.window()});
    EXPECT_NE(geometry.output.find("Geometry: 600x400"), std::string::npos) << geometry.output;
    EXPECT_TRUE(game.waitForPictureChange()) << "the men should be moving";

    EXPECT_EQ(game.quit(), 0) << game.output();
    const std::vector<std::string> lines = splitLines(game.log());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().rfind("[INFO] (src/game/game.cpp:WinMain():", 0), 0u) << lines.front();
    EXPECT_EQ(findLine(lines, "Starting..."), 0);
    const long quitAt = findLine(lines, ") Quit message recieved.");
    const long closingAt = findLine(lines, ") Program closing..", quitAt);
    ASSERT_GE(quitAt, 0);
    EXPECT_GT(closingAt, quitAt);
    EXPECT_EQ(findLine(lines, ") Finished.", closingAt), static_cast<long>(lines.size()) - 1);
}

TEST_F(WindowTest, PauseClosesTheLogAndFreezesThePictureAndResumeAppends) {
    GameOnScreen game(x, builtGame(), work.path());
    ASSERT_TRUE(game.waitForWindow()) << game.output();
    ASSERT_TRUE(game.waitForPictureChange());

    // Any modifier still pauses: the key code alone is looked at.
    ASSERT_TRUE(game.key("shift+p"));
    ASSERT_TRUE(waitFor([&] { return !game.logOpen(); })) << "the pause should close the log";
    const std::string atPause = game.log();
    EXPECT_EQ(findLine(splitLines(atPause), ") Starting..."), 0);

    const Picture frozen = game.waitForStillPicture();
    ASSERT_FALSE(frozen.empty());
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const Picture later = game.screenshot();
    EXPECT_TRUE(frozen == later) << "nothing may move while paused";
    EXPECT_EQ(game.log(), atPause);

    ASSERT_TRUE(game.key("p"));
    ASSERT_TRUE(waitFor([&] { return game.logOpen(); })) << "the resume should reopen the log";
    EXPECT_TRUE(game.waitForPictureChange()) << "the men should move again";
    EXPECT_EQ(game.quit(), 0);
    const std::string full = game.log();
    EXPECT_EQ(full.rfind(atPause, 0), 0u) << "the resume must append, not truncate";
    EXPECT_NE(full.find("Finished.", atPause.size()), std::string::npos);
}

TEST_F(WindowTest, QuitWhilePausedLosesOnlyTheClosingLines) {
    GameOnScreen game(x, builtGame(), work.path());
    ASSERT_TRUE(game.waitForWindow()) << game.output();
    ASSERT_TRUE(game.key("p"));
    ASSERT_TRUE(waitFor([&] { return !game.logOpen(); }));
    const std::string atPause = game.log();

    EXPECT_EQ(game.quit(), 0);
    EXPECT_EQ(game.log(), atPause);
    EXPECT_EQ(atPause.find("Quit message recieved."), std::string::npos);
    EXPECT_EQ(atPause.find("Finished."), std::string::npos);
}

TEST_F(WindowTest, PlaysOnWithoutALogWhenTheFileCannotBeMade) {
    // A folder where the log file should go stops even root from creating it.
    ASSERT_EQ(mkdir(work.file("session.log").c_str(), 0755), 0);
    GameOnScreen game(x, builtGame(), work.path());
    ASSERT_TRUE(game.waitForWindow()) << game.output();
    EXPECT_TRUE(game.waitForPictureChange());
    ASSERT_TRUE(game.key("p"));
    ASSERT_TRUE(game.key("p")); // the resume's reopen fails the same way
    EXPECT_EQ(game.quit(), 0);
    EXPECT_NE(game.output().find("session.log"), std::string::npos) << game.output();
}

TEST(WindowFailure, NoVideoSystemEndsTheRunWithMinusOne) {
    TempDir work;
    Child::Options options;
    options.workDir = work.path();
    options.env = {"SDL_VIDEODRIVER=x11"};
    options.unsetEnv = {"DISPLAY", "WAYLAND_DISPLAY"};
    const RunResult run = runProgram({builtGame()}, options);
    EXPECT_EQ(run.code, 255) << run.output;
    const std::vector<std::string> lines = splitLines(readFile(work.file("session.log")));
    const long sdlAt = findLine(lines, "Starting...");
    ASSERT_EQ(sdlAt, 0);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_NE(lines[1].find("[ERROR] (src/game/game.cpp:init_window():"), std::string::npos);
    EXPECT_NE(lines[1].find(") Failed to initialise SDL properly. Err#-1> "), std::string::npos);
    // The error before it cleared errno.
    EXPECT_NE(lines[2].find("WinMain():"), std::string::npos);
    EXPECT_NE(lines[2].find("errno: None"), std::string::npos);
    EXPECT_EQ(findLine(lines, ") Could not initialise SDL systems."), 2);
    EXPECT_EQ(findLine(lines, ") Finished."), 3);
    EXPECT_EQ(lines.size(), 4u);
}

} // namespace
