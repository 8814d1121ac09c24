// The game's artwork: the sheet's layout, the field, the pixel layout both
// are stored in, and the tool that draws them from the text art.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>

#include "game/image.h"
#include "share/share_utils.h"
#include "support/process.h"

namespace {

const std::string RES = SKIRMLINGS_SOURCE_DIR "/res/";
constexpr Uint32 CLEAR = 0x00FF00; // pure green, the sheet's see-through colour
constexpr Uint32 CANVAS = 0xFF00FF;

std::string gBase;
char* flavourBase() {
    return SDL_strdup(gBase.c_str());
}

// pic blitted onto a magenta canvas in the window's layout (with the sheet's
// colour key when keyed), as 0xRRGGBB per pixel, row by row.
std::vector<Uint32> drawn(SDL_Surface* pic, bool keyed) {
    SDL_Surface* canvas =
        SDL_CreateRGBSurfaceWithFormat(0, pic->w, pic->h, 32, SDL_PIXELFORMAT_RGB888);
    SDL_FillRect(canvas, nullptr, CANVAS);
    SDL_SetColorKey(pic, keyed ? SDL_TRUE : SDL_FALSE, SDL_MapRGB(pic->format, 0, 255, 0));
    SDL_BlitSurface(pic, nullptr, canvas, nullptr);
    std::vector<Uint32> out(static_cast<std::size_t>(pic->w * pic->h));
    for (int y = 0; y < pic->h; ++y) {
        std::memcpy(&out[static_cast<std::size_t>(y * pic->w)],
                    static_cast<const char*>(canvas->pixels) + y * canvas->pitch,
                    static_cast<std::size_t>(pic->w) * 4);
    }
    SDL_FreeSurface(canvas);
    for (Uint32& p : out) {
        p &= 0xFFFFFF;
    }
    return out;
}

class Art : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        window = SDL_CreateWindow("art", 0, 0, 600, 400, 0);
        ASSERT_NE(window, nullptr) << SDL_GetError();
    }
    static void TearDownTestSuite() {
        SDL_DestroyWindow(window);
        SDL_Quit();
    }
    void SetUp() override {
        sheet = SDL_LoadBMP((RES + "men.bmp").c_str());
        field = SDL_LoadBMP((RES + "back2.bmp").c_str());
        ASSERT_TRUE(sheet != nullptr && field != nullptr) << SDL_GetError();
    }
    void TearDown() override {
        SDL_FreeSurface(sheet);
        SDL_FreeSurface(field);
    }
    static SDL_Window* window;
    SDL_Surface* sheet = nullptr;
    SDL_Surface* field = nullptr;
};
SDL_Window* Art::window = nullptr;

TEST_F(Art, EveryCellHoldsADifferentManAndTheStripIsDrawn) {
    ASSERT_GE(sheet->w, 90);
    ASSERT_GE(sheet->h, 138);
    const std::vector<Uint32> px = drawn(sheet, false);
    auto at = [&](int x, int y) { return px[static_cast<std::size_t>(y * sheet->w + x)]; };
    std::set<std::vector<Uint32>> cells;
    for (int top = 0; top < 8 * 17; top += 17) {
        for (int left = 0; left < 90; left += 10) {
            std::vector<Uint32> cell;
            for (int y = top; y < top + 17; ++y) {
                for (int x = left; x < left + 10; ++x) {
                    cell.push_back(at(x, y));
                }
            }
            const auto body =
                std::count_if(cell.begin(), cell.end(), [](Uint32 p) { return p != CLEAR; });
            EXPECT_GE(body, 60) << "cell at " << left << "," << top;
            for (const Uint32 corner : {cell[0], cell[9], cell[160], cell[169]}) {
                EXPECT_EQ(corner, CLEAR) << "cell at " << left << "," << top;
            }
            cells.insert(cell);
        }
    }
    EXPECT_EQ(cells.size(), 72u) << "every team, look and frame should differ";
    for (int x = 0; x < 20; ++x) {
        EXPECT_NE(at(x, 136), CLEAR) << x;
        EXPECT_NE(at(x, 137), CLEAR) << x;
    }
    // A bar of one pixel says "low": red; a full bar ends in green.
    EXPECT_GT(at(0, 136) >> 16, 2 * (at(0, 136) >> 8 & 0xFF));
    EXPECT_GT(at(19, 136) >> 8 & 0xFF, at(19, 136) >> 16);
}

TEST_F(Art, FieldIsTexturedWithoutPureGreen) {
    ASSERT_EQ(field->w * 1000 + field->h, 600400);
    const std::vector<Uint32> px = drawn(field, false);
    EXPECT_EQ(std::count(px.begin(), px.end(), CLEAR), 0);
    EXPECT_GT(std::set<Uint32>(px.begin(), px.end()).size(), 3u);
}

TEST_F(Art, BitmapsShareTheWindowsPixelLayout) {
    const Uint32 screen = SDL_GetWindowSurface(window)->format->format;
    EXPECT_STREQ(SDL_GetPixelFormatName(sheet->format->format), SDL_GetPixelFormatName(screen));
    EXPECT_STREQ(SDL_GetPixelFormatName(field->format->format), SDL_GetPixelFormatName(screen));
    SDL_BlendMode mode = SDL_BLENDMODE_BLEND;
    ASSERT_EQ(SDL_GetSurfaceBlendMode(sheet, &mode), 0);
    EXPECT_EQ(mode, SDL_BLENDMODE_NONE);
}

TEST_F(Art, ToolDrawsExactlyTheCommittedFiles) {
    TempDir out;
    const RunResult run = runProgram({SKIRMLINGS_BINARY_DIR "/bin/make_art", out.path()});
    ASSERT_EQ(run.code, 0) << run.output;
    for (const char* name : {"men.bmp", "back2.bmp"}) {
        const std::string made = readFile(out.file(name));
        EXPECT_FALSE(made.empty()) << name;
        EXPECT_TRUE(made == readFile(RES + name)) << name << " differs: run the art target";
    }
}

TEST_F(Art, OtherBmpFlavoursDrawTheSamePicture) {
    TempDir dir;
    gBase = dir.path() + "/";
    File_SetBasePathSource(flavourBase);
    File_ForgetResourcePath();
    for (const char* type : {"TrueColor", "Palette"}) {
        for (SDL_Surface* original : {sheet, field}) {
            const std::string name = original == sheet ? "men.bmp" : "back2.bmp";
            const RunResult run = runProgram(
                {"/usr/bin/convert", RES + name, "-type", type, "BMP3:" + dir.file(name)});
            ASSERT_EQ(run.code, 0) << "ImageMagick's convert is needed: " << run.output;
            const int bits = static_cast<unsigned char>(readFile(dir.file(name)).at(28));
            EXPECT_EQ(type[0] == 'T', bits == 24) << name << " " << type << ": " << bits;
            EXPECT_LE(bits, 24);
            SDL_Surface* pic = nullptr;
            ASSERT_EQ(load_image(&pic, name.c_str()), 0) << name << " " << type;
            EXPECT_NE(pic->format->format, original->format->format);
            EXPECT_TRUE(drawn(pic, original == sheet) == drawn(original, original == sheet))
                << name << " " << type;
            SDL_FreeSurface(pic);
        }
    }
    File_SetBasePathSource(nullptr);
    File_ForgetResourcePath();
}

} // namespace
