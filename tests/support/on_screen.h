// The game installed as a player gets it, and played on a private X server.
#pragma once

#include <gtest/gtest.h>

#include <thread>

#include "support/log_capture.h"

#include "xdrive/xvfb.h"

// cmake --install of the build folder into prefix; true on success.
inline bool installBuild(const std::string& build, const std::string& prefix) {
    return runProgram({SKIRMLINGS_CMAKE, "--install", build, "--prefix", prefix}).code == 0;
}

// Waits for the window and for the men to move, pauses with pauseKey (the
// log closes and the picture holds still) and resumes with P (the log
// reopens and the men move on). Gives the picture shown while paused.
inline Picture pauseAndResume(GameOnScreen& game, const std::string& pauseKey) {
    Picture frozen;
    [&] {
        ASSERT_TRUE(game.waitForWindow()) << game.output();
        ASSERT_TRUE(game.waitForPictureChange()) << "the men should be moving";
        ASSERT_TRUE(game.key(pauseKey));
        ASSERT_TRUE(waitFor([&] { return !game.logOpen(); })) << "the pause should close the log";
        frozen = game.waitForStillPicture();
        ASSERT_FALSE(frozen.empty());
        std::this_thread::sleep_for(std::chrono::seconds(1));
        ASSERT_TRUE(game.screenshot() == frozen) << "nothing may move while paused";
        ASSERT_TRUE(game.key("p"));
        ASSERT_TRUE(waitFor([&] { return game.logOpen(); })) << "the resume should reopen the log";
        EXPECT_TRUE(game.waitForPictureChange()) << "the men should move again";
    }();
    return frozen;
}

using Lines = std::vector<std::string>;

// What the game installed in folder logs as it starts: both bitmaps loaded.
inline Lines startLines(const std::string& folder) {
    return {"Starting...", "Loading first image:", "Loading image: " + folder + "/res/back2.bmp",
            "Loading second image:", "Loading image: " + folder + "/res/men.bmp"};
}

// Whether a log's messages, deaths left out, are those of an orderly run:
// the start, then the three closing lines.
inline bool orderlyRun(Lines said, const std::string& folder) {
    std::erase_if(said, [](const std::string& m) { return m.ends_with("has died. Blurgh!"); });
    Lines want = startLines(folder);
    want.insert(want.end(), {"Quit message recieved.", "Program closing..", "Finished."});
    return said == want;
}
