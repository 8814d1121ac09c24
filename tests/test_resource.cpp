// The resource directory, the lookups built on it and the bitmaps loaded
// through them, with the executable's directory supplied by the tests
// (test_art loads the game's bitmaps through the one SDL reports, and the
// Windows game's test a missing one).
#include <SDL.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>

#include "game/image.h"
#include "share/alloc.h"
#include "share/share_utils.h"
#include "support/files.h"
#include "support/log_capture.h"

namespace {
const char* gBase = nullptr; // what the executable's directory is said to be

using Lines = std::vector<std::string>;

std::string text(const BstringRecord* s) {
    return {s->data, static_cast<std::size_t>(s->length)};
}

class ResourcePath : public ::testing::Test {
  protected:
    void SetUp() override {
        File_SetBasePathSource([] { return gBase == nullptr ? nullptr : SDL_strdup(gBase); });
    }
    void TearDown() override { File_ForgetResourcePath(); }
    LogCapture log;
};
} // namespace

// Each lookup also releases the string its slot held, after a WARN line.
TEST_F(ResourcePath, NamesFollowTheDirectoryWhoseLastComponentBinBecomesRes) {
    const std::pair<const char*, const char*> cases[] = {
        {"/home/robin/game/bin/", "/home/robin/game/res/"},
        {"/srv/cabinet/bin/", "/srv/cabinet/res/"},
        {"/opt/bin/game/bin/", "/opt/bin/game/res/"},
        {"/opt/game/", "/opt/game/"},
        {"/home/robin/binbin/", "/home/robin/binbin/"},
        {"/opt/Game/BIN/", "/opt/Game/BIN/"},
        {"C:\\games\\bin\\", "C:\\games\\res\\"},
        {"/opt/game/bin", "/opt/game/res"},
        {"/opt/game/bin/", "/opt/game/res/"}};
    bstring path = Bstring_fromCstr("left over");
    const BstringRecord name{4, 3, const_cast<char*>("a\0b")};
    for (auto [base, want] : cases) {
        File_ForgetResourcePath();
        gBase = base;
        EXPECT_EQ(text(File_GetResource_cstr("sub/x.bmp", &path)), want + std::string("sub/x.bmp"));
        EXPECT_EQ(File_InitialiseResourcePath(), 1);
    }
    EXPECT_EQ(text(File_GetResource_cstr("", &path)), "/opt/game/res/");
    EXPECT_EQ(File_GetResource(&name, &path), path);
    char* out = static_cast<char*>(std::malloc(1)); // released by the conversion
    EXPECT_EQ(Util_CString_Convert(path, &out), 0);
    EXPECT_EQ(std::string(out, 18), std::string("/opt/game/res/a\0b", 18));
    EXPECT_EQ(log.messages(), Lines(11, "Out bstring exists, destroying to avoid memory leaks"));
    std::free(out);
    Bstring_destroy(path);
}

TEST_F(ResourcePath, FailuresWriteTheirLinesInOrderAndLeaveTheSlotAsDocumented) {
    gBase = nullptr; // the base path is missing
    bstring kept = Bstring_fromCstr("men.bmp"), slot = kept;
    errno = EINVAL;
    // The text lookup builds the directory before it looks at its name; the
    // counted one looks at its slot first.
    EXPECT_EQ(File_GetResource_cstr(nullptr, &slot), nullptr);
    EXPECT_EQ(slot, kept);
    EXPECT_EQ(File_GetResource(kept, nullptr), nullptr);
    EXPECT_EQ(File_GetResource(kept, &slot), nullptr);
    EXPECT_EQ(slot, nullptr);
    gBase = "/opt/game/bin/";
    ASSERT_EQ(File_InitialiseResourcePath(), 0);
    // Null names, and the conversion's failures.
    EXPECT_EQ(File_GetResource_cstr(nullptr, &slot), nullptr);
    char* out = static_cast<char*>(std::malloc(1)); // released once, by the first conversion
    EXPECT_EQ(Util_CString_Convert(nullptr, &out), -1);
    EXPECT_EQ(out, nullptr);
    Util_FailAllocAt(1);
    EXPECT_EQ(Util_CString_Convert(kept, &out), -1);
    const std::string sdl = "SDL could not setup the base path on this system.",
                      init = "Resource data path could not be initialised D:";
    ASSERT_EQ(log.messages(), (Lines{sdl, init, "Invalid input: out cannot be NULL.", sdl, init,
                                     "Invalid input: path string cannot be NULL.",
                                     "Invalid input: bstring input is NULL.",
                                     "Could not allocate memory for the cstring copy."}));
    Bstring_destroy(kept);
}

// Every allocation along the way fails in turn, alone and together with the
// next (which defeats the string's retry and cuts the path short). Every
// prefix of the name is a good bitmap here, so opening a path cut short
// would load and give 0.
TEST_F(ResourcePath, FailedAllocationsNeverLoadABitmapFromAPartialPath) {
    TempDir dir;
    const std::string folder = dir.path() + "/", name(60, 'a');
    gBase = folder.c_str();
    for (std::size_t n = 1; n < name.size(); ++n) {
        writeFile(dir.file(name.substr(0, n)), readFile(SKIRMLINGS_SOURCE_DIR "/res/men.bmp"));
    }
    auto* const untouched = reinterpret_cast<SDL_Surface*>(&dir);
    for (const long failing : {1L, 2L}) {
        bool injected = true;
        for (long k = 1; injected; ++k) {
            File_ForgetResourcePath();
            const std::size_t earlier = log.messages().size();
            SDL_Surface* pic = untouched;
            Util_FailAllocAt(k, failing);
            EXPECT_EQ(load_image(&pic, name.c_str()), -1) << k;
            injected = Util_AllocCalls() >= k;
            Util_FailAllocAt(0);
            // The slot is only touched once the full path was opened.
            const Lines said = log.messages();
            const std::string last = said.size() > earlier ? said.back() : "";
            const bool opened = last.rfind("Could not load BMP: ", 0) == 0;
            EXPECT_EQ(pic, opened ? nullptr : untouched) << last;
            EXPECT_TRUE(opened || last == "Could make path from cstring." ||
                        last == "Failed to convert bstring to char * string.")
                << last;
        }
    }
}
