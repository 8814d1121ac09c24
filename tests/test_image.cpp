// Loading bitmaps from the resource directory, good files and bad.
#include <gtest/gtest.h>

#include "game/image.h"
#include "share/alloc.h"
#include "share/share_utils.h"
#include "support/log_capture.h"
#include "support/process.h"

namespace {

std::string gBase; // the resource directory the tests point the game at

char* tempBase() {
    return SDL_strdup(gBase.c_str());
}
char* noBase() {
    return nullptr;
}

class LoadImage : public ::testing::Test {
  protected:
    void SetUp() override {
        gBase = dir.path() + "/";
        File_SetBasePathSource(tempBase);
        File_ForgetResourcePath();
        SDL_Surface* pic = SDL_CreateRGBSurfaceWithFormat(0, 7, 5, 32, SDL_PIXELFORMAT_RGB888);
        ASSERT_EQ(SDL_SaveBMP(pic, dir.file("ok.bmp").c_str()), 0);
        SDL_FreeSurface(pic);
        goodBmp = readFile(dir.file("ok.bmp"));
    }
    void TearDown() override {
        Util_FailAllocAt(0);
        File_SetBasePathSource(nullptr);
        File_ForgetResourcePath();
    }
    TempDir dir;
    std::string goodBmp;
    SDL_Surface* sentinel = reinterpret_cast<SDL_Surface*>(&goodBmp); // never freed
};

TEST_F(LoadImage, GoodFileGivesItsSurfaceAndOneInfoLine) {
    LogCapture log;
    SDL_Surface* pic = nullptr;
    ASSERT_EQ(load_image(&pic, "ok.bmp"), 0);
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(pic->w * 100 + pic->h, 705);
    SDL_FreeSurface(pic);
    const std::vector<std::string> lines = log.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("[INFO] (src/game/image.cpp:load_image():", 0), 0u) << lines[0];
    EXPECT_EQ(log.messages()[0], "Loading image: " + dir.file("ok.bmp"));
}

TEST_F(LoadImage, BadFilesLeaveANullSlotAndSayWhy) {
    writeFile(dir.file("text.bmp"), "This is not a picture at all.\n");
    writeFile(dir.file("cut.bmp"), goodBmp.substr(0, 70));
    // SDL's own reason for failing to open the missing file.
    ASSERT_EQ(SDL_RWFromFile(dir.file("gone.bmp").c_str(), "rb"), nullptr);
    const std::string openReason = SDL_GetError();
    for (const char* name : {"gone.bmp", "text.bmp", "cut.bmp"}) {
        LogCapture log;
        SDL_Surface* pic = sentinel;
        EXPECT_EQ(load_image(&pic, name), -1) << name;
        EXPECT_EQ(pic, nullptr) << name;
        const std::vector<std::string> said = log.messages();
        ASSERT_EQ(said.size(), 2u) << log.text();
        EXPECT_EQ(said[0], "Loading image: " + dir.file(name));
        EXPECT_EQ(said[1].rfind("Could not load BMP: ", 0), 0u) << said[1];
        EXPECT_GT(said[1].size(), 20u) << name << ": no reason given";
        EXPECT_EQ(said[1] == "Could not load BMP: " + openReason, name[0] == 'g') << said[1];
    }
}

TEST_F(LoadImage, NoResourceDirectoryLeavesTheSlotAlone) {
    File_SetBasePathSource(noBase);
    LogCapture log;
    SDL_Surface* pic = sentinel;
    EXPECT_EQ(load_image(&pic, "ok.bmp"), -1);
    EXPECT_EQ(pic, sentinel);
    ASSERT_FALSE(log.messages().empty());
    EXPECT_EQ(log.messages().back(), "Could make path from cstring.");
}

// Every allocation along the way fails in turn. Whatever fails, only the full
// path is ever opened: a path cut short would name one of the files made
// here, and opening it would succeed.
TEST_F(LoadImage, FailedAllocationsNeverOpenAPartialPath) {
    const std::string name = "abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmnopqrstuvwxyz";
    for (std::size_t n = 1; n < name.size(); ++n) {
        writeFile(dir.file(name.substr(0, n)), goodBmp);
    }
    const std::string full = "Loading image: " + dir.file(name);
    bool sawCopyFail = false;
    for (long k = 1;; ++k) {
        File_ForgetResourcePath();
        LogCapture log;
        SDL_Surface* pic = sentinel;
        Util_FailAllocAt(k);
        EXPECT_EQ(load_image(&pic, name.c_str()), -1) << k;
        const bool injected = Util_AllocCalls() >= k;
        Util_FailAllocAt(0);
        bool opened = false;
        for (const std::string& said : log.messages()) {
            EXPECT_TRUE(said.rfind("Loading image: ", 0) != 0 || said == full) << said;
            opened = opened || said == full;
            sawCopyFail = sawCopyFail || said == "Failed to convert bstring to char * string.";
        }
        EXPECT_EQ(pic, opened ? nullptr : sentinel) << k;
        if (!injected) {
            break;
        }
    }
    EXPECT_TRUE(sawCopyFail);
}

TEST(LoadImageFromBuild, FindsTheGamesBitmapsBesideBin) {
    LogCapture log;
    for (const char* name : {"men.bmp", "back2.bmp"}) {
        SDL_Surface* pic = nullptr;
        ASSERT_EQ(load_image(&pic, name), 0) << log.text();
        SDL_FreeSurface(pic);
    }
    EXPECT_EQ(log.messages(),
              (std::vector<std::string>{"Loading image: " SKIRMLINGS_BINARY_DIR "/res/men.bmp",
                                        "Loading image: " SKIRMLINGS_BINARY_DIR "/res/back2.bmp"}));
}

} // namespace
