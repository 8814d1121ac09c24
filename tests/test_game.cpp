// The game shell in-process: WinMain runs on a thread of its own with SDL's
// dummy video driver, and the test drives it with events as a player would.
// (The real window's picture, pause and orderly close are the platform
// scenario's; the rules of the battle are the golden battle's.)
#include <SDL.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <thread>

#include "game/game.h"
#include "man/man.h"
#include "share/log.h"
#include "share/share_utils.h"
#include "support/files.h"
#include "support/log_capture.h"

namespace {
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

// Every present passes through here on its way to SDL, so the test sees
// when each frame was shown and how much of the log had reached its file.
std::mutex gLock;
std::vector<std::pair<double, long>> gPresents; // steady-clock seconds, log bytes on disk
long gLogAtWindow = -1; // how much of the log was on disk when the window was made

long logBytes() {
    struct stat log {};
    return stat("session.log", &log) == 0 ? log.st_size : -1;
}
template <typename Fn> Fn real(const char* name) {
    return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}
} // namespace

extern "C" SDL_Window* SDL_CreateWindow(const char* title, int x, int y, int w, int h,
                                        Uint32 flags) {
    gLogAtWindow = logBytes();
    return real<SDL_Window* (*)(const char*, int, int, int, int, Uint32)>("SDL_CreateWindow")(
        title, x, y, w, h, flags);
}

extern "C" int SDL_UpdateWindowSurface(SDL_Window* window) {
    const auto at = std::chrono::steady_clock::now().time_since_epoch(); // before anything else
    const std::lock_guard<std::mutex> hold(gLock);
    gPresents.emplace_back(std::chrono::duration<double>(at).count(), logBytes());
    return real<int (*)(SDL_Window*)>("SDL_UpdateWindowSurface")(window);
}

namespace {
std::vector<std::pair<double, long>> presents() {
    const std::lock_guard<std::mutex> hold(gLock);
    return gPresents;
}
bool logOpen() {
    return __atomic_load_n(&gLog, __ATOMIC_RELAXED) != nullptr;
}

// A P key event, or any other event type.
void push(Uint32 type, Uint8 repeat = 0) {
    SDL_Event e{};
    e.type = type;
    e.key.keysym.sym = SDLK_p;
    e.key.repeat = repeat;
    SDL_PushEvent(&e);
}

// WinMain on a thread of its own, in a fresh working directory that holds
// an old log, or a folder in the log file's place.
struct Game {
    explicit Game(bool logless = false) {
        fs::current_path(dir.path());
        logless ? (void)fs::create_directory("session.log") : writeFile("session.log", "old\n");
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        gPresents.clear();
        thread = std::thread([this] { status = WinMain(nullptr, nullptr, nullptr, 0); });
    }
    ~Game() {
        (void)quit();
        fs::current_path(home);
        Man_freeAll();
        Man_setMax(100); // in case a test made room for fewer
    }
    int quit() { // ends the run with a quit event; WinMain's result
        if (thread.joinable()) {
            push(SDL_QUIT);
            thread.join();
        }
        return status;
    }
    TempDir dir;
    const fs::path home = fs::current_path();
    std::atomic<int> status = 1; // while running
    std::thread thread;
};

// With no room for men, nothing but the frame loop flushes the log while
// it runs, and nothing draws from the random generator after the spawn.
TEST(Shell, PacesAndFlushesItsFramesPausesOnEachPressOfPAndSeedsFromTheClock) {
    const auto before = static_cast<std::uint32_t>(std::time(nullptr));
    Man_setMax(0);
    Game game;
    ASSERT_TRUE(waitFor([&] { return presents().size() >= 2; }));
    EXPECT_GT(gLogAtWindow, 0) << "the start should reach the file before the window opens";
    // A line written now reaches the file with the next periodic flush:
    // frames 1, 17, 33 and so on.
    const std::size_t from = presents().size();
    Log_Info("marker");
    ASSERT_TRUE(waitFor([&] { return presents().back().second > presents()[from - 1].second; }));
    const auto shown = presents();
    std::size_t flushed = from;
    while (shown[flushed].second == shown[from - 1].second) {
        ++flushed;
    }
    EXPECT_EQ(flushed % 16, 0u) << "flushed on frame " << flushed + 1;
    // P pauses on its press, as a key repeat too, and closes the log; the
    // next press resumes. What comes while paused is lost: the quit's lines.
    push(SDL_KEYDOWN, 1);
    ASSERT_TRUE(waitFor([&] { return !logOpen(); }, 5s));
    const std::size_t frozen = presents().size();
    std::this_thread::sleep_for(500ms); // a frame due meanwhile waits for the resume
    EXPECT_EQ(presents().size(), frozen) << "nothing is drawn while paused";
    push(SDL_KEYDOWN);
    ASSERT_TRUE(waitFor([&] { return logOpen() && presents().size() >= shown.size() + 12; }, 10s));
    push(SDL_KEYDOWN);
    ASSERT_TRUE(waitFor([&] { return !logOpen(); }, 5s));
    EXPECT_EQ(game.quit(), 0);
    const auto after = static_cast<std::uint32_t>(std::time(nullptr));
    const Lines said = logMessages(readFile(game.dir.file("session.log")));
    EXPECT_TRUE(!said.empty() && said[0] == "Starting..." && said.back() == "marker")
        << "the resume appends to the run's log, and the quit finds it closed";

    // The next frame is planned 33 ticks after the tick read when drawing
    // ends. A tick may read up to a millisecond either way, so no two frames
    // come closer than 31 ms (less a little for reading the clock here).
    const auto all = presents();
    for (std::size_t i = 1; i < all.size(); ++i) {
        ASSERT_GE(all[i].first - all[i - 1].first, 0.0305) << "frame " << i;
    }
    // The generator goes on from a seed the clock gave at the start.
    const auto draw = [] { return Util_Rand(32766) * 32766 + Util_Rand(32766); };
    const int drawn = draw();
    bool seeded = false;
    LogCapture quiet; // the spawn's refusals
    for (std::uint32_t seed = before; seed <= after && !seeded; ++seed) {
        ASSERT_EQ(Man_init(), 0);
        Util_SeedRandWith(seed);
        spawn_men();
        seeded = draw() == drawn;
    }
    EXPECT_TRUE(seeded);
}

TEST(Shell, PlaysOnWithoutALogWhenTheFileCannotBeMade) {
    testing::internal::CaptureStderr();
    Game game(true);
    ASSERT_TRUE(waitFor([&] { return presents().size() >= 2; }));
    push(SDL_KEYDOWN);
    push(SDL_KEYDOWN); // the resume's reopen fails the same way
    ASSERT_TRUE(waitFor([&] { return presents().size() >= 4; }));
    EXPECT_EQ(game.quit(), 0);
    EXPECT_NE(testing::internal::GetCapturedStderr().find(
                  "cannot open session.log: Is a directory; going on without a log"),
              std::string::npos);
}

TEST(Shell, AFailedStartEndsTheRunWithMinusOneAfterItsReasons) {
    TempDir res, work; // the bitmaps' folder holds the field but no sheet
    writeFile(res.file("back2.bmp"), readFile(SKIRMLINGS_SOURCE_DIR "/res/back2.bmp"));
    static std::string base;
    base = res.path() + "/";
    File_SetBasePathSource([] { return SDL_strdup(base.c_str()); });
    const fs::path home = fs::current_path();
    fs::current_path(work.path());
    for (const std::string driver : {"no-such-driver", "dummy"}) {
        setenv("SDL_VIDEODRIVER", driver.c_str(), 1);
        File_ForgetResourcePath();
        EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), -1) << driver;
        const Lines said = logMessages(readFile("session.log"));
        // Without video, SDL's reason; without the sheet, where it was looked for.
        const std::string sheet = res.file("men.bmp");
        const Lines why = driver == "dummy" ? Lines{"Loading image: " + sheet,
                                                    "Could not load BMP: Couldn't open " + sheet,
                                                    "Could not load men.bmp!"}
                                            : Lines{"Failed to initialise SDL properly. Err#-1> "
                                                    "no-such-driver not available",
                                                    "Could not initialise SDL systems."};
        EXPECT_TRUE(said.size() > why.size() + 1 && said[0] == "Starting..." &&
                    said.back() == "Finished." &&
                    std::equal(why.begin(), why.end(), said.end() - 1 - why.size()))
            << readFile("session.log");
    }
    fs::current_path(home);
    File_SetBasePathSource(nullptr);
    File_ForgetResourcePath();
}

TEST(Shell, TheDueTestSurvivesTheTickWrap) {
    // Planned just past the wrap while the counter has not wrapped yet, and
    // due once it has.
    EXPECT_TRUE(frame_is_due(1, 1) && !frame_is_due(1, 0) && !frame_is_due(133, 100));
    EXPECT_FALSE(frame_is_due(0xFFFFFFF0u + FRAME_TIME, 0xFFFFFFF0u));
    EXPECT_TRUE(frame_is_due(0x00000011u, 0x00000011u) && frame_is_due(0xFFFFFFF0u, 0x00000005u));
}

} // namespace
