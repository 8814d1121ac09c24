// The real game, installed, in a real window on a private X server, closed
// as the desktop would close it; and the plain build's game under valgrind's
// memcheck. (The shell's cadence and input are tested in-process.)
#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "support/on_screen.h"

namespace {

// The installed game finds its bitmaps beside bin/ from any working folder.
// Shift+P pauses (the key, not the letter, counts), P resumes, appending to
// the log, and a quit request closes the game in order.
TEST(Window, TheInstalledGamePausesResumesAndQuitsInOrderOnRequest) {
    Xvfb x;
    ASSERT_TRUE(x.ok()) << "Xvfb did not start";
    TempDir prefix, work;
    ASSERT_TRUE(installBuild(SKIRMLINGS_BINARY_DIR, prefix.path()));
    GameOnScreen game(x, prefix.file("bin/skirmlings"), work.path());
    const Picture paused = pauseAndResume(game, "shift+p");
    ASSERT_TRUE(paused.width == 600 && paused.height == 400)
        << paused.width << "x" << paused.height;
    EXPECT_EQ(game.quit(), 0) << game.output();
    // The whole run in one log: a resume that truncated would lose its start.
    const std::string log = game.log();
    EXPECT_EQ(log.rfind("[INFO] (src/game/game.cpp:WinMain():", 0), 0u) << log;
    EXPECT_TRUE(orderlyRun(logMessages(log), prefix.path())) << log;
}

// A few seconds of play and an orderly quit give no errors and lose no
// memory for certain.
TEST(Window, ThePlainBuildPlaysAndQuitsUnderMemcheckWithoutErrorsOrLeaks) {
    if (std::string(SKIRMLINGS_PLAIN_BUILD).empty()) {
        GTEST_SKIP() << "configure with SKIRMLINGS_PLAIN_BUILD (./test.sh does)";
    }
    Xvfb x;
    ASSERT_TRUE(x.ok());
    TempDir prefix, work;
    ASSERT_TRUE(installBuild(SKIRMLINGS_PLAIN_BUILD, prefix.path()));
    const std::string report = work.file("memcheck.txt");
    GameOnScreen game(x,
                      {"valgrind", "--leak-check=full", "--errors-for-leak-kinds=definite",
                       "--error-exitcode=99",
                       "--suppressions=" SKIRMLINGS_SOURCE_DIR "/tests/valgrind.supp",
                       "--log-file=" + report, prefix.file("bin/skirmlings")},
                      work.path(),
                      // SDL would present through Mesa's software renderer, whose
                      // JIT-compiled drawing memcheck cannot follow reliably (at
                      // times nothing reaches the window); X's own framebuffer
                      // shows the same frames.
                      {"SDL_FRAMEBUFFER_ACCELERATION=0"});
    // Under memcheck the game starts many times slower than it plays.
    ASSERT_TRUE(game.waitForWindow(std::chrono::minutes(5))) << readFile(report);
    ASSERT_TRUE(game.waitForPictureChange(std::chrono::minutes(5)));
    std::this_thread::sleep_for(std::chrono::seconds(3));
    EXPECT_EQ(game.quit(), 0) << readFile(report);
    const std::string text = readFile(report);
    EXPECT_NE(text.find("ERROR SUMMARY: 0 errors"), std::string::npos) << text;
    std::smatch lost;
    if (std::regex_search(text, lost, std::regex(R"(definitely lost: ([0-9,]+) bytes)"))) {
        EXPECT_EQ(lost[1], "0") << text;
    }
    EXPECT_NE(readFile(work.file("session.log")).find("Finished."), std::string::npos);
}

} // namespace
