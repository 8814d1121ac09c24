// Loading bitmaps from the resource directory, good files and bad.
#include <gtest/gtest.h>

#include "game/image.h"
#include "share/alloc.h"
#include "share/share_utils.h"
#include "support/files.h"
#include "support/log_capture.h"

namespace {

const std::string RES = SKIRMLINGS_SOURCE_DIR "/res/";
std::string gBase; // the resource directory the tests point the game at

class LoadImage : public ::testing::Test {
  protected:
    void SetUp() override {
        gBase = dir.path() + "/";
        File_SetBasePathSource([] { return SDL_strdup(gBase.c_str()); });
        File_ForgetResourcePath();
    }
    void TearDown() override {
        File_SetBasePathSource(nullptr);
        File_ForgetResourcePath();
    }
    TempDir dir;
    const std::string goodBmp = readFile(RES + "men.bmp");
    SDL_Surface* sentinel = reinterpret_cast<SDL_Surface*>(&dir); // never freed
};

// A good file, even of another BMP flavour than the game's own, loads as
// it is with one INFO line; a bad one leaves a null slot and says why.
TEST_F(LoadImage, GoodFilesLoadAsTheyAreAndBadOnesLeaveANullSlotAndSayWhy) {
    SDL_Surface* made = SDL_CreateRGBSurfaceWithFormat(0, 4, 4, 8, SDL_PIXELFORMAT_INDEX8);
    ASSERT_EQ(SDL_SaveBMP(made, dir.file("few.bmp").c_str()), 0);
    SDL_FreeSurface(made);
    writeFile(dir.file("text.bmp"), "This is not a picture at all.\n");
    writeFile(dir.file("cut.bmp"), goodBmp.substr(0, goodBmp.size() / 2));
    // SDL's own reason for failing to open the missing file.
    const std::string openReason =
        SDL_RWFromFile(dir.file("gone.bmp").c_str(), "rb") == nullptr ? SDL_GetError() : "opened";
    for (const char* name : {"few.bmp", "gone.bmp", "text.bmp", "cut.bmp"}) {
        LogCapture log;
        SDL_Surface* pic = sentinel;
        const bool good = name[0] == 'f';
        EXPECT_EQ(load_image(&pic, name), good ? 0 : -1) << name;
        const std::vector<std::string> lines = log.lines(), said = log.messages();
        ASSERT_EQ(said.size(), good ? 1u : 2u) << log.text();
        EXPECT_TRUE(lines[0].starts_with("[INFO] ") &&
                    said[0] == "Loading image: " + dir.file(name));
        if (good) {
            EXPECT_EQ(pic->format->BytesPerPixel, 1) << "loaded as the file holds it";
            SDL_FreeSurface(pic);
            continue;
        }
        EXPECT_TRUE(pic == nullptr && lines[1].starts_with("[ERROR] ") &&
                    said[1].starts_with("Could not load BMP: ") && said[1].size() > 20)
            << said[1];
        EXPECT_EQ(said[1] == "Could not load BMP: " + openReason, name[0] == 'g') << said[1];
    }
}

// Every allocation along the way fails in turn, alone and together with the
// next (which defeats the string's retry and cuts the path short). Every
// prefix of the name is a good bitmap here, so opening a path cut short
// would load and give 0.
TEST_F(LoadImage, FailedAllocationsNeverOpenAPartialPath) {
    const std::string name(60, 'a');
    for (std::size_t n = 1; n < name.size(); ++n) {
        writeFile(dir.file(name.substr(0, n)), goodBmp);
    }
    for (const long failing : {1L, 2L}) {
        bool injected = true;
        for (long k = 1; injected; ++k) {
            File_ForgetResourcePath();
            LogCapture log;
            SDL_Surface* pic = sentinel;
            Util_FailAllocAt(k, failing);
            EXPECT_EQ(load_image(&pic, name.c_str()), -1) << k;
            injected = Util_AllocCalls() >= k;
            Util_FailAllocAt(0);
            // The slot is only touched once the full path was opened.
            const std::string last = log.messages().empty() ? "" : log.messages().back();
            const bool opened = last.rfind("Could not load BMP: ", 0) == 0;
            EXPECT_EQ(pic, opened ? nullptr : sentinel) << last;
            EXPECT_TRUE(opened || last == "Could make path from cstring." ||
                        last == "Failed to convert bstring to char * string.")
                << last;
        }
    }
}

} // namespace
