#include <SDL.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "share/alloc.h"
#include "share/share_utils.h"
#include "support/log_capture.h"

namespace {
const char* gBase = nullptr; // what the executable's directory is said to be
int gAsked = 0;

char* fakeBasePath() {
    ++gAsked;
    return gBase == nullptr ? nullptr : SDL_strdup(gBase);
}

using Lines = std::vector<std::string>;

std::string text(const BstringRecord* s) {
    return {s->data, static_cast<std::size_t>(s->length)};
}

class ResourcePath : public ::testing::Test {
  protected:
    void SetUp() override {
        gBase = "/opt/game/bin/";
        gAsked = 0;
        File_SetBasePathSource(fakeBasePath);
    }
    void TearDown() override {
        File_ForgetResourcePath();
        File_SetBasePathSource(nullptr);
    }
    LogCapture log;
};
} // namespace

TEST_F(ResourcePath, OnlyALastComponentBinBecomesRes) {
    const std::pair<const char*, const char*> cases[] = {
        {"/opt/game/bin/", "/opt/game/res/"},
        {"/home/robin/game/bin/", "/home/robin/game/res/"},
        {"/srv/cabinet/bin/", "/srv/cabinet/res/"},
        {"/opt/bin/game/bin/", "/opt/bin/game/res/"},
        {"/opt/game/", "/opt/game/"},
        {"/home/robin/binbin/", "/home/robin/binbin/"},
        {"/opt/Game/BIN/", "/opt/Game/BIN/"},
        {"C:\\games\\bin\\", "C:\\games\\res\\"},
        {"/opt/game/bin", "/opt/game/res"},
        {"bin/", "res/"}};
    for (auto [base, want] : cases) {
        gBase = base;
        bstring path = nullptr;
        EXPECT_EQ(File_GetResource_cstr("men.bmp", &path), path);
        EXPECT_EQ(text(path), std::string(want) + "men.bmp");
        const bstring built = RESOURCE_PATH;
        EXPECT_EQ(File_InitialiseResourcePath(), 1);
        EXPECT_EQ(RESOURCE_PATH, built);
        Bstring_destroy(path);
        File_ForgetResourcePath();
    }
    EXPECT_EQ(gAsked, 10); // the second initialisation asked nothing
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(ResourcePath, TheGameFindsItsBitmapsBesideItsBinDirectory) {
    File_SetBasePathSource(nullptr);
    EXPECT_EQ(File_InitialiseResourcePath(), 0);
    EXPECT_EQ(text(RESOURCE_PATH), SKIRMLINGS_BINARY_DIR "/res/");
}

TEST_F(ResourcePath, NamesAreAppendedAsTheyAreOverWhatTheSlotHeld) {
    bstring path = Bstring_fromCstr("left over"), name = Bstring_fromCstr("a");
    ASSERT_EQ(Bstring_appendBytes(name, "\0b", 2), 0);
    EXPECT_EQ(text(File_GetResource_cstr("", &path)), "/opt/game/res/");
    EXPECT_EQ(text(File_GetResource_cstr("sub/x.bmp", &path)), "/opt/game/res/sub/x.bmp");
    EXPECT_EQ(text(File_GetResource(name, &path)), std::string("/opt/game/res/a\0b", 17));
    EXPECT_EQ(log.messages(), Lines(3, "Out bstring exists, destroying to avoid memory leaks"));
    EXPECT_EQ(log.lines()[0].rfind("[WARN] (src/share/resource.cpp:File_GetResource_cstr():", 0),
              0U);
    Bstring_destroy(name);
    Bstring_destroy(path);
}

TEST_F(ResourcePath, FailedLookupsWriteTheirLinesAndLeaveTheSlotAsDocumented) {
    gBase = nullptr;
    bstring kept = Bstring_fromCstr("kept"), slot = kept;
    for (int round = 0; round < 2; ++round) { // a failed build is retried every time
        errno = EINVAL;
        EXPECT_EQ(File_GetResource_cstr("men.bmp", &slot), nullptr);
        EXPECT_EQ(slot, kept);
        EXPECT_EQ(File_GetResource(kept, &slot), nullptr);
        EXPECT_EQ(std::exchange(slot, kept), nullptr);
    }
    gBase = "/opt/game/bin/";
    EXPECT_EQ(File_GetResource_cstr(nullptr, &slot), nullptr);
    EXPECT_EQ(slot, kept);
    EXPECT_EQ(File_GetResource(nullptr, &slot), nullptr);
    EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(errno, 0);
    const Lines lines = log.lines(), messages = log.messages();
    ASSERT_EQ(lines.size(), 10U);
    EXPECT_EQ(lines[0].rfind("[ERROR] (src/share/resource.cpp:File_InitialiseResourcePath():", 0),
              0U);
    EXPECT_EQ(lines[1].rfind("[ERROR] (src/share/resource.cpp:File_GetResource_cstr():", 0), 0U);
    EXPECT_NE(lines[3].find(":File_GetResource():"), std::string::npos);
    EXPECT_NE(lines[0].find("errno: Yep) SDL could not setup the base path on this system."),
              std::string::npos);
    EXPECT_NE(lines[1].find("errno: None) Resource data path could not be initialised D:"),
              std::string::npos);
    EXPECT_EQ(Lines(messages.begin() + 4, messages.begin() + 8),
              Lines(messages.begin(), messages.begin() + 4));
    EXPECT_EQ(Lines(messages.begin() + 8, messages.end()),
              (Lines{"Invalid input: path string cannot be NULL.",
                     "Invalid input: path bstring cannot be NULL."}));
    Bstring_destroy(kept);
}

TEST_F(ResourcePath, ConvertsEveryCountedByte) {
    bstring b = Bstring_fromCstr("a");
    ASSERT_EQ(Bstring_appendBytes(b, "\0b", 2), 0);
    char* out = static_cast<char*>(std::malloc(1)); // released by the conversion
    EXPECT_EQ(Util_CString_Convert(b, &out), 0);
    EXPECT_EQ(std::string(out, 4), std::string("a\0b\0", 4));
    bstring empty = Bstring_fromCstr("");
    EXPECT_EQ(Util_CString_Convert(empty, &out), 0);
    EXPECT_EQ(out[0], '\0');
    errno = EINVAL;
    EXPECT_EQ(Util_CString_Convert(nullptr, &out), -1);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(errno, 0);
    EXPECT_EQ(log.messages(), Lines{"Invalid input: bstring input is NULL."});
    Bstring_destroy(b);
    Bstring_destroy(empty);
}

TEST_F(ResourcePath, RunningOutOfMemoryFailsOrFallsBack) {
    // One letter per k with the k-th allocation failing: F failed with its
    // ERROR line, N built nothing but reported success, S succeeded.
    auto outcomes = [&](const std::function<char()>& run, const char* error) {
        std::string seen;
        for (long k = 1;; ++k) {
            const std::size_t before = log.lines().size();
            Util_FailAllocAt(k);
            const char got = run();
            const bool reached = Util_AllocCalls() >= k;
            Util_FailAllocAt(0);
            const Lines all = log.messages();
            const bool logged = all.size() == before + 1 && all.back() == error;
            if (!reached) {
                return seen;
            }
            seen += got == 'F' && !logged ? '?' : got;
        }
    };
    auto init = [] {
        File_ForgetResourcePath();
        const int rc = File_InitialiseResourcePath();
        return rc == -1                                  ? 'F'
               : RESOURCE_PATH == nullptr                ? 'N'
               : text(RESOURCE_PATH) == "/opt/game/res/" ? 'S'
                                                         : '?';
    };
    EXPECT_EQ(outcomes(init, "bstring find and replace failed."), "FFNS");
    bstring name = Bstring_fromCstr("men.bmp");
    auto lookup = [name](bool counted) {
        return [name, counted] {
            bstring path = nullptr;
            const bstring got =
                counted ? File_GetResource(name, &path) : File_GetResource_cstr("men.bmp", &path);
            const char seen = got == nullptr && path == nullptr                     ? 'F'
                              : got == path && text(got) == "/opt/game/res/men.bmp" ? 'S'
                                                                                    : '?';
            Bstring_destroy(path);
            return seen;
        };
    };
    EXPECT_EQ(outcomes(lookup(false), "Failed to copy RESOURCE_PATH."), "FSS");
    EXPECT_EQ(outcomes(lookup(true), "Failed to copy RESOURCE_PATH"), "FSS");
    auto convert = [name] {
        char* out = nullptr;
        const int rc = Util_CString_Convert(name, &out);
        const char seen = rc == -1 && out == nullptr                 ? 'F'
                          : rc == 0 && std::string(out) == "men.bmp" ? 'S'
                                                                     : '?';
        std::free(out);
        return seen;
    };
    EXPECT_EQ(outcomes(convert, "Could not allocate memory for the cstring copy."), "F");
    Bstring_destroy(name);
}
