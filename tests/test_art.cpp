// The game's artwork: the sheet's layout, the field, the pixel layout both
// are stored in, and the tool that draws them from the text art.
#include <gtest/gtest.h>

#include <cstdlib>

#include "game/image.h"
#include "xdrive/xvfb.h"

namespace {

const std::string RES = SKIRMLINGS_SOURCE_DIR "/res/";
constexpr std::uint32_t CLEAR = 0x00FF00; // pure green, the sheet's see-through colour

// Pure green pixels in the w x h rectangle at x, y.
int greens(const Picture& pic, int x, int y, int w, int h) {
    int count = 0;
    for (int i = 0; i < w * h; ++i) {
        count += pic.at(x + i % w, y + i / w) == CLEAR;
    }
    return count;
}

TEST(Art, SheetAndFieldAreLaidOut) {
    const Picture sheet = readBmp(RES + "men.bmp");
    ASSERT_TRUE(sheet.width >= 90 && sheet.height >= 138) << sheet.width << "x" << sheet.height;
    for (int c = 0; c < 72; ++c) {
        const int left = c % 9 * 10, top = c / 9 * 17;
        EXPECT_LE(greens(sheet, left, top, 10, 17), 110) << "cell " << c << " is empty";
        for (int corner = 0; corner < 4; ++corner) {
            EXPECT_EQ(sheet.at(left + corner % 2 * 9, top + corner / 2 * 16), CLEAR)
                << "cell " << c;
        }
    }
    EXPECT_EQ(greens(sheet, 0, 136, 20, 2), 0) << "the health strip has gaps";
    const Picture field = readBmp(RES + "back2.bmp");
    ASSERT_EQ(std::pair(field.width, field.height), std::pair(600, 400));
    EXPECT_EQ(greens(field, 0, 0, 600, 400), 0);
}

// Loaded as the game loads them, from res/ beside bin/ (the window brings
// up the video subsystem).
TEST(Art, BitmapsShareTheWindowsPixelLayout) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDL_Window* window = SDL_CreateWindow("art", 0, 0, 600, 400, 0);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    const Uint32 screen = SDL_GetWindowSurface(window)->format->format;
    for (const char* name : {"men.bmp", "back2.bmp"}) {
        SDL_Surface* pic = nullptr;
        ASSERT_EQ(load_image(&pic, name), 0) << name;
        EXPECT_STREQ(SDL_GetPixelFormatName(pic->format->format), SDL_GetPixelFormatName(screen));
        SDL_BlendMode mode = SDL_BLENDMODE_BLEND;
        EXPECT_EQ(SDL_GetSurfaceBlendMode(pic, &mode), 0);
        EXPECT_EQ(mode, SDL_BLENDMODE_NONE) << name;
        SDL_FreeSurface(pic);
    }
    SDL_DestroyWindow(window);
    SDL_Quit();
}

TEST(Art, ToolDrawsExactlyTheCommittedFiles) {
    TempDir out;
    const RunResult run = runProgram({SKIRMLINGS_BINARY_DIR "/bin/make_art", out.path()});
    ASSERT_EQ(run.code, 0) << run.output;
    for (const char* name : {"men.bmp", "back2.bmp"}) {
        EXPECT_TRUE(readFile(out.file(name)) == readFile(RES + name))
            << name << ": run the art target";
    }
}

} // namespace
