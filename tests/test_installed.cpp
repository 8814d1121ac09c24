// The installed game: it finds its bitmaps beside bin/ from any working
// folder, and a missing or broken bitmap ends the run with its chain of
// reasons in the log.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/build.h"
#include "support/log_capture.h"
#include "xdrive/xvfb.h"

namespace {

class InstalledGame : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(x.ok()) << "Xvfb did not start";
        ASSERT_TRUE(installGame(prefix.path()));
    }

    // Whether wanted begin messages of the log, in this order.
    bool logHasInOrder(const std::vector<std::string>& wanted) const {
        std::size_t next = 0;
        for (const std::string& m : logMessages(readFile(work.file("session.log")))) {
            next += next < wanted.size() && m.rfind(wanted[next], 0) == 0 ? 1 : 0;
        }
        return next == wanted.size();
    }

    Xvfb x;
    TempDir prefix;
    TempDir work;
    const std::string game = prefix.file("bin/skirmlings");
    const std::string sheet = prefix.file("res/men.bmp");
};

TEST_F(InstalledGame, FindsItsBitmapsBesideBinFromAnyFolder) {
    GameOnScreen run(x, game, work.path());
    ASSERT_TRUE(run.waitForWindow()) << run.output();
    EXPECT_TRUE(run.waitForPictureChange());
    EXPECT_EQ(run.quit(), 0);
    EXPECT_TRUE(
        logHasInOrder({"Loading first image:", "Loading image: " + prefix.file("res/back2.bmp"),
                       "Loading second image:", "Loading image: " + sheet, "Quit message recieved.",
                       "Program closing..", "Finished."}))
        << readFile(work.file("session.log"));
}

TEST_F(InstalledGame, AMissingOrBrokenBitmapEndsTheRun) {
    struct Case {
        std::string file, content, before, after;
    } const cases[] = {{"back2.bmp", "", "Loading first image:", "Could not load back.bmp!"},
                       {"men.bmp", "", "Loading second image:", "Could not load men.bmp!"},
                       {"men.bmp", "this is a text file, not a bitmap\n",
                        "Loading second image:", "Could not load men.bmp!"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + (c.content.empty() ? " missing" : " broken"));
        ASSERT_TRUE(installGame(prefix.path())); // both bitmaps back in place
        std::filesystem::remove(prefix.file("res/" + c.file));
        if (!c.content.empty()) {
            writeFile(prefix.file("res/" + c.file), c.content);
        }
        Child::Options options;
        options.workDir = work.path();
        options.env = gameEnvironment(x);
        EXPECT_EQ(runProgram({game}, options).code, 255);
        EXPECT_TRUE(logHasInOrder({c.before, "Loading image: " + prefix.file("res/" + c.file),
                                   "Could not load BMP: ", c.after, "Finished."}))
            << readFile(work.file("session.log"));
        EXPECT_EQ(logMessages(readFile(work.file("session.log"))).back(), "Finished.");
    }
}

} // namespace
