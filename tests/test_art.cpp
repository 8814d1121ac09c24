// The game's artwork: the sheet's layout, the field, the pixel layout both
// are stored in, and the tool that draws them, which refuses art whose teams
// or health strip some players could not tell apart; and its measure of how
// far apart colours look to every eye.
#include <gtest/gtest.h>

#include <cstdlib>

#include "game/image.h"
#include "support/files.h"
#include "vision.h"

namespace {

const std::string RES = SKIRMLINGS_SOURCE_DIR "/res/";
constexpr std::uint32_t CLEAR = 0x00FF00; // pure green, the sheet's see-through colour
// The committed sheet of men and field, empty when missing.
const Picture SHEET = readBmp(RES + "men.bmp"), FIELD = readBmp(RES + "back2.bmp");
const PixelAt SHEET_AT = [](int x, int y) { return SHEET.at(x, y); };

// Pure green pixels in the w x h rectangle at x, y.
int greens(const Picture& pic, int x, int y, int w, int h) {
    int count = 0;
    for (int i = 0; i < w * h; ++i) {
        count += pic.at(x + i % w, y + i / w) == CLEAR;
    }
    return count;
}

TEST(Art, SheetAndFieldAreLaidOutAndTheToolDrawsExactlyTheCommittedFiles) {
    ASSERT_TRUE(SHEET.width >= 90 && SHEET.height >= 138) << SHEET.width << "x" << SHEET.height;
    for (int c = 0; c < 72; ++c) {
        const int left = c % 9 * 10, top = c / 9 * 17;
        EXPECT_LE(greens(SHEET, left, top, 10, 17), 110) << "cell " << c << " is empty";
        EXPECT_EQ(greens(SHEET, left, top, 1, 1) + greens(SHEET, left + 9, top + 16, 1, 1), 2)
            << "cell " << c << " has no clear corners";
    }
    EXPECT_EQ(greens(SHEET, 0, 136, 20, 2), 0) << "the health strip has gaps";
    ASSERT_EQ(std::pair(FIELD.width, FIELD.height), std::pair(600, 400));
    EXPECT_EQ(greens(FIELD, 0, 0, 600, 400), 0);
    TempDir out;
    ASSERT_EQ(std::system((SKIRMLINGS_BINARY_DIR "/bin/make_art " + out.path()).c_str()), 0);
    std::vector<std::string> names = {"men.bmp", "back2.bmp", "icons/skirmlings.ico"};
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        names.push_back("icons/skirmlings-" + std::to_string(size) + ".png");
    }
    for (const std::string& name : names) {
        const std::string made = readFile(out.file(name));
        EXPECT_TRUE(!made.empty() && made == readFile(RES + name))
            << name << ": run the art target";
    }
}

// Loaded as the game loads them, from res/ beside bin/, they need no
// conversion to reach the window (the window brings up the video subsystem).
TEST(Art, BitmapsShareTheWindowsPixelLayout) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDL_Window* window = SDL_CreateWindow("art", 0, 0, 600, 400, 0);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    const Uint32 screen = SDL_GetWindowSurface(window)->format->format;
    for (const char* name : {"men.bmp", "back2.bmp"}) {
        SDL_Surface* pic = nullptr;
        ASSERT_EQ(load_image(&pic, name), 0) << name;
        EXPECT_STREQ(SDL_GetPixelFormatName(pic->format->format), SDL_GetPixelFormatName(screen));
        SDL_FreeSurface(pic);
    }
    SDL_DestroyWindow(window);
    SDL_Quit();
}

TEST(Art, TheMeasureOfColourKnowsRedAndGrey) {
    EXPECT_LT(deltaE(seen(linear(0xFF0000), View::Normal), {53.24, 80.09, 67.20}), 0.02);
    for (View view : VIEWS) { // a grey looks the same to every eye
        EXPECT_LT(deltaE(seen(linear(0x777777), view), seen(linear(0x777777), View::Normal)), 1e-3);
    }
}

} // namespace
