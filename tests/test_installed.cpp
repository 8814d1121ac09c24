// The installed game: it finds its bitmaps beside bin/ from any working
// folder, and a missing or broken bitmap ends the run with its chain of
// reasons in the log.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/xvfb.h"

namespace {

class InstalledGame : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(x.ok()) << "Xvfb did not start";
        ASSERT_TRUE(installGame(prefix.path()));
        game = prefix.file("bin/skirmlings");
    }

    // Runs the game to its end in the working folder; the exit code.
    int runToEnd() {
        Child::Options options;
        options.workDir = work.path();
        options.env = gameEnvironment(x);
        return runProgram({game}, options).code;
    }

    // The messages of the log, in order.
    std::vector<std::string> messages() const {
        std::vector<std::string> out;
        for (const std::string& line : splitLines(readFile(work.file("session.log")))) {
            out.push_back(line.substr(line.find(") ") + 2));
        }
        return out;
    }

    // Whether wanted appear in this order among the messages, each one
    // matching the start of a message.
    bool inOrder(const std::vector<std::string>& wanted) const {
        std::size_t next = 0;
        for (const std::string& m : messages()) {
            if (next < wanted.size() && m.rfind(wanted[next], 0) == 0) {
                ++next;
            }
        }
        return next == wanted.size();
    }

    Xvfb x;
    TempDir prefix;
    TempDir work;
    std::string game;
};

TEST_F(InstalledGame, FindsItsBitmapsBesideBinFromAnyFolder) {
    EXPECT_TRUE(std::filesystem::exists(prefix.file("res/back2.bmp")));
    EXPECT_TRUE(std::filesystem::exists(prefix.file("res/men.bmp")));
    GameOnScreen run(x, game, work.path());
    ASSERT_TRUE(run.waitForWindow()) << run.output();
    EXPECT_TRUE(run.waitForPictureChange());
    EXPECT_EQ(run.quit(), 0);
    EXPECT_TRUE(inOrder({"Loading first image:", "Loading image: " + prefix.file("res/back2.bmp"),
                         "Loading second image:", "Loading image: " + prefix.file("res/men.bmp"),
                         "Quit message recieved.", "Program closing..", "Finished."}))
        << readFile(work.file("session.log"));
}

TEST_F(InstalledGame, AMissingOrBrokenSheetEndsTheRun) {
    for (const bool missing : {true, false}) {
        SCOPED_TRACE(missing ? "missing" : "not a bitmap");
        std::filesystem::remove(prefix.file("res/men.bmp"));
        if (!missing) {
            writeFile(prefix.file("res/men.bmp"), "this is a text file, not a bitmap\n");
        }
        EXPECT_EQ(runToEnd(), 255);
        EXPECT_TRUE(
            inOrder({"Loading second image:", "Loading image: " + prefix.file("res/men.bmp"),
                     "Could not load BMP: ", "Could not load men.bmp!", "Finished."}))
            << readFile(work.file("session.log"));
        EXPECT_EQ(messages().back(), "Finished.");
    }
}

TEST_F(InstalledGame, AMissingBackgroundEndsTheRun) {
    std::filesystem::remove(prefix.file("res/back2.bmp"));
    EXPECT_EQ(runToEnd(), 255);
    EXPECT_TRUE(inOrder({"Loading first image:", "Loading image: " + prefix.file("res/back2.bmp"),
                         "Could not load BMP: ", "Could not load back.bmp!", "Finished."}))
        << readFile(work.file("session.log"));
    for (const std::string& m : messages()) {
        EXPECT_NE(m, "Loading second image:");
    }
}

} // namespace
