// Loading bitmaps from the resource directory when memory runs short. (The
// Windows game's test loads a missing one, the battle the game's own.)
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
