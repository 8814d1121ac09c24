// The installed game of a plain (unsanitized) build under valgrind's
// memcheck on a private X server: a few seconds of play and an orderly quit
// must give no errors and lose no memory for certain.
#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "xdrive/xvfb.h"

namespace {

TEST(Memcheck, PlayAndQuitWithoutErrorsOrDefiniteLeaks) {
    const std::string plainBuild = SKIRMLINGS_PLAIN_BUILD;
    if (plainBuild.empty()) {
        GTEST_SKIP() << "configure with SKIRMLINGS_PLAIN_BUILD (./test.sh does)";
    }
    Xvfb x;
    ASSERT_TRUE(x.ok());
    TempDir prefix;
    TempDir work;
    ASSERT_EQ(
        runProgram({SKIRMLINGS_CMAKE, "--install", plainBuild, "--prefix", prefix.path()}).code, 0);
    const std::string report = work.file("memcheck.txt");
    GameOnScreen game(x,
                      {"valgrind", "--tool=memcheck", "--leak-check=full",
                       "--show-leak-kinds=definite", "--errors-for-leak-kinds=definite",
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
    std::this_thread::sleep_for(std::chrono::seconds(3)); // a few seconds of play
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
