// The game shell in-process: WinMain runs on a thread of its own with SDL's
// dummy video driver, and the test drives it with events as a player would.
#include <SDL.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <cstring>
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
// when each frame was shown, how much of the log had reached its file by
// then, and the last picture.
std::mutex gLock;
std::vector<std::pair<double, long>> gPresents; // steady-clock seconds, log bytes on disk
std::vector<Uint32> gShown;

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

long logBytes() {
    struct stat log {};
    return stat("session.log", &log) == 0 ? log.st_size : -1;
}
long gLogAtWindow = -1; // how much of the log was on disk when the window was made
} // namespace

extern "C" SDL_Window* SDL_CreateWindow(const char* title, int x, int y, int w, int h,
                                        Uint32 flags) {
    static const auto real =
        reinterpret_cast<SDL_Window* (*)(const char*, int, int, int, int, Uint32)>(
            dlsym(RTLD_NEXT, "SDL_CreateWindow"));
    gLogAtWindow = logBytes();
    return real(title, x, y, w, h, flags);
}

extern "C" int SDL_UpdateWindowSurface(SDL_Window* window) {
    const double at = now(); // first, so that nothing here delays it
    static const auto real =
        reinterpret_cast<int (*)(SDL_Window*)>(dlsym(RTLD_NEXT, "SDL_UpdateWindowSurface"));
    const SDL_Surface* screen = SDL_GetWindowSurface(window);
    const auto* pixels = static_cast<const Uint32*>(screen->pixels);
    const std::lock_guard<std::mutex> hold(gLock);
    gPresents.emplace_back(at, logBytes());
    gShown.assign(pixels, pixels + screen->w * screen->h);
    return real(window);
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
void push(Uint32 type, Uint16 mod = KMOD_NONE, Uint8 repeat = 0) {
    SDL_Event e{};
    e.type = type;
    e.key.keysym.sym = SDLK_p;
    e.key.keysym.mod = mod;
    e.key.repeat = repeat;
    SDL_PushEvent(&e);
}

// WinMain on a thread of its own, in a fresh working directory that holds
// an old log, or a folder in the log file's place.
struct Game {
    explicit Game(bool logless = false) {
        fs::current_path(dir.path());
        if (logless) {
            fs::create_directory("session.log");
        } else {
            writeFile("session.log", "an old run\n");
        }
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        gPresents.clear();
        thread = std::thread([this] { status = WinMain(nullptr, nullptr, nullptr, 0); });
    }
    ~Game() {
        (void)quit();
        fs::current_path(home);
        Man_setMax(100); // in case a test made room for fewer
    }
    // Ends the run with a quit event; WinMain's result.
    int quit() {
        if (thread.joinable()) {
            if (status == 1) {
                push(SDL_QUIT);
            }
            thread.join();
        }
        return status;
    }

    TempDir dir;
    const fs::path home = fs::current_path();
    std::atomic<int> status = 1; // while running
    std::thread thread;
};

TEST(Shell, PacesItsFramesPausesOnEachPressOfPAndFightsABattleOfTheClock) {
    const auto before = static_cast<std::uint32_t>(std::time(nullptr));
    Game game;
    ASSERT_TRUE(waitFor([&] { return presents().size() >= 12; }));
    EXPECT_GT(gLogAtWindow, 0) << "the start should reach the file before the window opens";
    // P pauses on its press, with Shift held and as a key repeat too. The
    // pause closes the log.
    push(SDL_KEYDOWN, KMOD_LSHIFT, 1);
    ASSERT_TRUE(waitFor([&] { return !logOpen(); }, 5s));
    push(SDL_KEYUP);
    // Paused, nothing is drawn and the loop spins rather than sleeps.
    const std::size_t frozen = presents().size();
    const auto cpu = [] {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
    };
    const double wall = now(), used = cpu();
    std::this_thread::sleep_for(1s);
    const double spun = (cpu() - used) / (now() - wall);
    std::printf("the paused loop used %.0f%% of a core\n", spun * 100);
    EXPECT_GT(spun, 0.04) << "the paused loop should spin, not sleep";
    EXPECT_TRUE(!logOpen() && presents().size() == frozen) << "a release is no press";
    push(SDL_KEYDOWN);
    ASSERT_TRUE(waitFor([&] { return logOpen() && presents().size() >= frozen + 12; }, 10s));
    EXPECT_EQ(game.quit(), 0);
    const auto after = static_cast<std::uint32_t>(std::time(nullptr));

    // The next frame is planned 33 ticks after the tick read when drawing
    // ends. A tick may read up to a millisecond either way, so no two frames
    // come closer than 31 ms (less a little for reading the clock here).
    const auto shown = presents();
    double closest = 1;
    for (std::size_t i = 1; i < shown.size(); ++i) {
        closest = std::min(closest, shown[i].first - shown[i - 1].first);
    }
    std::printf("closest frames %.1f ms apart\n", closest * 1000);
    EXPECT_GE(closest, 0.0305) << "of " << shown.size() << " frames";
    // The resume appended to the log of this run.
    const Lines said = logMessages(readFile(game.dir.file("session.log")));
    ASSERT_GE(said.size(), 5u);
    EXPECT_EQ(said[0], "Starting...");
    EXPECT_EQ(Lines(said.end() - 3, said.end()),
              (Lines{"Quit message recieved.", "Program closing..", "Finished."}));
    // The last frame shows the field and the men, keyed clear of the
    // sheet's green.
    const Picture field = readBmp(SKIRMLINGS_SOURCE_DIR "/res/back2.bmp");
    int changed = 0;
    for (int i = 0; i < 600 * 400; ++i) {
        ASSERT_NE(gShown[i] & 0xFFFFFF, 0x00FF00u) << i;
        changed += (gShown[i] & 0xFFFFFF) != field.at(i % 600, i / 600) ? 1 : 0;
    }
    EXPECT_GT(changed, 4000);

    // The battle is the one a seed from the clock gives: each presented
    // frame moved every living man once.
    const std::vector<Man> fought(gMen, gMen + SPAWN_COUNT);
    bool replayed = false;
    for (std::uint32_t seed = before; seed <= after && !replayed; ++seed) {
        ASSERT_EQ(Man_init(), 0);
        Util_SeedRandWith(seed);
        spawn_men();
        for (std::size_t frame = 0; frame < shown.size(); ++frame) {
            for (Man* m = gMen; m < gMen + gAllocHead; ++m) {
                (void)(m->dead != 0 || Man_update(m) != 0);
            }
        }
        // Everything about a man from his position to his walk, and whether he is dead.
        replayed = std::equal(fought.begin(), fought.end(), gMen, [](const Man& a, const Man& b) {
            return std::memcmp(&a, &b, offsetof(Man, name)) == 0 && a.dead == b.dead;
        });
    }
    EXPECT_TRUE(replayed);
    Man_freeAll();
}

TEST(Shell, FlushesOnTheFirstFrameAndEverySixteenthAndLosesWhatComesWhilePaused) {
    Man_setMax(0); // with no men, nothing but the frame loop flushes while it runs
    Game game;
    ASSERT_TRUE(waitFor([&] { return presents().size() >= 2; }));
    // A line written now reaches the file with the next periodic flush.
    for (int marker = 0; marker < 3; ++marker) {
        const std::size_t from = presents().size();
        Log_Info("marker %d", marker);
        ASSERT_TRUE(waitFor(
            [&] {
                const auto shown = presents();
                return shown.back().second > shown[from - 1].second;
            },
            5s));
        const auto shown = presents();
        std::size_t flushed = from;
        while (shown[flushed].second == shown[from - 1].second) {
            ++flushed;
        }
        EXPECT_EQ(flushed % 16, 0u) << "flushed on frame " << flushed + 1;
    }
    push(SDL_KEYDOWN);
    ASSERT_TRUE(waitFor([&] { return !logOpen(); }, 5s));
    EXPECT_EQ(game.quit(), 0);
    // A quit while paused finds the log closed; every frame showed the field alone.
    const std::string text = readFile(game.dir.file("session.log"));
    EXPECT_TRUE(text.find("Quit message") == std::string::npos &&
                text.find("Finished.") == std::string::npos)
        << text;
    const Picture field = readBmp(SKIRMLINGS_SOURCE_DIR "/res/back2.bmp");
    for (int i = 0; i < 600 * 400; ++i) {
        ASSERT_EQ(gShown[i] & 0xFFFFFF, field.at(i % 600, i / 600)) << i;
    }
    Man_freeAll();
}

TEST(Shell, AFailedStartEndsTheRunWithMinusOneAfterItsReasons) {
    TempDir res, work;
    writeFile(res.file("back2.bmp"), readFile(SKIRMLINGS_SOURCE_DIR "/res/back2.bmp"));
    static std::string base;
    base = res.path() + "/";
    File_SetBasePathSource([] { return SDL_strdup(base.c_str()); });
    const fs::path home = fs::current_path();
    fs::current_path(work.path());
    const std::pair<const char*, Lines> cases[] = {
        {"no-such-driver",
         {"Starting...", "Failed to initialise SDL properly. Err#-1> ",
          "Could not initialise SDL systems.", "Finished."}},
        {"dummy",
         {"Starting...", "Loading first image:", "Loading image: " + res.file("back2.bmp"),
          "Loading second image:", "Loading image: " + res.file("men.bmp"),
          "Could not load BMP: ", "Could not load men.bmp!", "Finished."}}};
    for (const auto& [driver, want] : cases) {
        setenv("SDL_VIDEODRIVER", driver, 1);
        File_ForgetResourcePath();
        EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), -1) << driver;
        const Lines said = logMessages(readFile("session.log"));
        ASSERT_EQ(said.size(), want.size()) << readFile("session.log");
        for (std::size_t i = 0; i < said.size(); ++i) {
            EXPECT_EQ(said[i].rfind(want[i], 0), 0u) << said[i];
        }
    }
    fs::current_path(home);
    File_SetBasePathSource(nullptr);
    File_ForgetResourcePath();
    Man_freeAll();
}

TEST(Shell, PlaysOnWithoutALogWhenTheFileCannotBeMade) {
    Game game(true);
    ASSERT_TRUE(waitFor([&] { return presents().size() >= 2; }, 10s));
    push(SDL_KEYDOWN);
    push(SDL_KEYDOWN); // the resume's reopen fails the same way
    ASSERT_TRUE(waitFor([&] { return presents().size() >= 4; }, 10s));
    EXPECT_EQ(game.quit(), 0);
}

TEST(Shell, TheWindowIsFixedAndTheDueTestSurvivesTheTickWrap) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    LogCapture log;
    SDL_Surface* screen = nullptr;
    SDL_Window* wnd = reinterpret_cast<SDL_Window*>(&log); // a filled slot
    ASSERT_EQ(init_window(&wnd, &screen), 0);
    EXPECT_EQ(SDL_GetWindowFlags(wnd) & SDL_WINDOW_RESIZABLE, 0u);
    EXPECT_STREQ(SDL_GetWindowTitle(wnd), "Skirmlings!");
    SDL_DestroyWindow(wnd);
    SDL_Quit();
    EXPECT_EQ(log.messages(),
              Lines{"gWnd and gScreen parameters should both be NULL - check initialisation."});
    EXPECT_TRUE(frame_is_due(1, 1) && !frame_is_due(1, 0) && !frame_is_due(133, 100));
    // Planned just past the wrap while the counter has not wrapped yet, and
    // due once it has.
    EXPECT_FALSE(frame_is_due(0xFFFFFFF0u + FRAME_TIME, 0xFFFFFFF0u));
    EXPECT_TRUE(frame_is_due(0x00000011u, 0x00000011u) && frame_is_due(0xFFFFFFF0u, 0x00000005u));
}

// Drawn on a sheet whose cells are each one flat colour, over a black field.
TEST(Frame, DrawsEachLivingManWithHisBarAndADyingMansBodyOnceMore) {
    SDL_Surface* pics[3];
    for (const int i : {0, 1, 2}) {
        pics[i] = SDL_CreateRGBSurfaceWithFormat(0, i < 2 ? 600 : 90, i < 2 ? 400 : 138, 32,
                                                 SDL_PIXELFORMAT_RGB888);
    }
    SDL_Surface *field = pics[0], *screen = pics[1], *sheet = pics[2];
    for (int cell = 0; cell < 73; ++cell) { // the last is the bar's strip
        const SDL_Rect r =
            cell < 72 ? SDL_Rect{cell % 9 * 10, cell / 9 * 17, 10, 17} : SDL_Rect{0, 136, 20, 2};
        SDL_FillRect(sheet, &r, cell < 72 ? static_cast<Uint32>(cell + 1) : 0xFF0000u);
    }
    const auto at = [&](int x, int y) {
        return static_cast<const Uint32*>(screen->pixels)[y * screen->pitch / 4 + x] & 0xFFFFFF;
    };
    // A man at full health; under his bar one who dies in his own update;
    // one at zero health, who shows a sliver; and one already dead.
    ASSERT_EQ(Man_init(), 0);
    const int men[][3] = {{400, 100, 0}, {400, 90, 1}, {100, 100, 2}, {300, 100, 3}};
    for (const auto& [x, y, team] : men) {
        ASSERT_EQ(Man_create(x, y, 40, 4, 0, 0, team, 30, "Billy"), 0);
    }
    gMen[1].health = -1;
    gMen[2].health = 0;
    gMen[3].dead = 1;
    FrameRects rects = frame_rects_start();
    LogCapture log;
    ASSERT_EQ(draw_frame(screen, field, sheet, &rects), 0);
    EXPECT_TRUE(at(395, 97) == 0xFF0000 && at(414, 98) == 0xFF0000 && at(394, 97) == 0);
    EXPECT_TRUE(at(405, 95) == 10 && at(405, 97) == 10) << "a dying man has no bar";
    EXPECT_TRUE(at(100, 100) == 19 && at(95, 97) == 0xFF0000 && at(96, 97) == 0 &&
                at(300, 100) == 0);
    ASSERT_EQ(draw_frame(screen, field, sheet, &rects), 0);
    EXPECT_TRUE(at(405, 95) == 0 && at(405, 97) == 0xFF0000) << "the dead are not drawn";
    Man_freeAll();
    for (SDL_Surface* pic : pics) {
        SDL_FreeSurface(pic);
    }
}

} // namespace
