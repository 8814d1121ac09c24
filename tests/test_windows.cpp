// The Windows game as a player gets it: the zip unpacked into a scratch
// folder and the .exe run under wine on a private X server, from a working
// folder of its own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <thread>

#include "support/install.h"
#include "support/log_capture.h"
#include "xdrive/xvfb.h"

namespace {

// One X server and one wine prefix serve every test here: making a prefix
// takes many seconds. The wine processes are not this program's children:
// the tear-down ends them with wineserver -k, and a watchdog does the same
// if this program dies first.
struct Wine {
    Xvfb x;
    TempDir prefix;
    TempDir serverDir; // where the wineserver keeps its socket

    [[nodiscard]] Child::Options options() const {
        Child::Options options;
        options.env = {"WINEPREFIX=" + prefix.path(),
                       "WINEARCH=win64",
                       "WINEDEBUG=-all",
                       "WINEDLLOVERRIDES=mscoree,mshtml=",
                       "TMPDIR=" + serverDir.path(),
                       "DISPLAY=" + x.display()};
        return options;
    }
};
Wine* gWine = nullptr;

class WineEnvironment : public ::testing::Environment {
    void SetUp() override {
        gWine = new Wine;
        ASSERT_TRUE(gWine->x.ok()) << "Xvfb did not start";
        // The inner shell is no child of ours, so it outlives this program.
        const std::string watch = "while kill -0 " + std::to_string(getpid()) +
                                  "; do sleep 1; done; wineserver -k; rm -rf \"$1\" \"$2\"";
        (void)runProgram({"sh", "-c", "sh -c \"$0\" watch \"$1\" \"$2\" >/dev/null 2>&1 &", watch,
                          gWine->prefix.path(), gWine->serverDir.path()},
                         gWine->options());
        // A persistent server stays up between the games.
        ASSERT_EQ(runProgram({"wineserver", "--persistent"}, gWine->options()).code, 0);
        const RunResult boot =
            runProgram({"wineboot", "--init"}, gWine->options(), std::chrono::minutes(5));
        ASSERT_EQ(boot.code, 0) << boot.output;
    }
    void TearDown() override {
        (void)runProgram({"wineserver", "--kill"}, gWine->options());
        (void)runProgram({"wineserver", "--wait"}, gWine->options());
        delete gWine;
    }
};
[[maybe_unused]] const auto* const gEnvironment =
    ::testing::AddGlobalTestEnvironment(new WineEnvironment);

// Unpacks the zip into dir; the game's folder in it.
std::string unpack(const TempDir& dir) {
    Child::Options options;
    options.workDir = dir.path();
    EXPECT_EQ(
        runProgram({SKIRMLINGS_CMAKE, "-E", "tar", "xf", SKIRMLINGS_WINDOWS_ZIP}, options).code, 0);
    return dir.file("skirmlings-windows");
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// A log put the Linux way, to compare with the Linux game's: Linux line
// ends and path separators, the game's folder called GAME, and no errno
// marker (the X libraries on Linux leave errno set where Windows does not).
std::string linuxLog(std::string log, const std::string& gameFolder) {
    log = replaceAll(replaceAll(log, "\r\n", "\n"), "Z:\\", "/");
    std::replace(log.begin(), log.end(), '\\', '/');
    return replaceAll(replaceAll(log, "errno: Yep", "errno: None"), gameFolder, "GAME");
}

TEST(WindowsGame, PlaysPausesAndClosesOnRequestAsOnTheDesktop) {
    TempDir unpacked;
    TempDir work;
    const std::string game = unpack(unpacked);
    const Picture field = readBmp(game + "/res/back2.bmp");
    ASSERT_FALSE(field.empty());
    GameOnScreen run(gWine->x, {"wine", game + "/bin/skirmlings.exe"}, work.path(),
                     gWine->options().env);
    ASSERT_TRUE(run.waitForWindow()) << run.output();
    const auto shown = Clock::now();
    ASSERT_TRUE(run.waitForPictureChange()) << "the men should be moving";

    ASSERT_TRUE(run.key("p"));
    ASSERT_TRUE(waitFor([&] { return !run.logOpen(); })) << "the pause should close the log";
    const auto walked = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - shown);
    const int reach = 3 * static_cast<int>(walked.count() / 33 + 2);
    const Picture frozen = run.waitForStillPicture();
    ASSERT_FALSE(frozen.empty());
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_TRUE(run.screenshot() == frozen) << "nothing may move while paused";

    // The field, with the men near the square they were spawned in.
    ASSERT_EQ(frozen.width, 600);
    ASSERT_EQ(frozen.height, 400);
    int changed = 0;
    for (int y = 0; y < 400; ++y) {
        for (int x = 0; x < 600; ++x) {
            ASSERT_NE(frozen.at(x, y), 0x00FF00u) << "the sheet's green shows at " << x << "," << y;
            if (frozen.at(x, y) != field.at(x, y)) {
                ++changed;
                ASSERT_TRUE(x >= 195 - reach && x < 314 + reach && y >= 97 - reach &&
                            y < 217 + reach)
                    << "a stray pixel at " << x << "," << y << " (reach " << reach << ")";
            }
        }
    }
    EXPECT_GT(changed, 100 * 10 * 4) << "a hundred men should show";

    ASSERT_TRUE(run.key("p"));
    ASSERT_TRUE(waitFor([&] { return run.logOpen(); })) << "the resume should reopen the log";
    EXPECT_TRUE(run.waitForPictureChange()) << "the men should move again";

    // What the window's close button sends: Windows turns Alt+F4 into the
    // same close command.
    ASSERT_TRUE(run.key("alt+F4"));
    int code = -1;
    ASSERT_TRUE(run.process().waitExit(&code));
    EXPECT_EQ(code, 0) << run.output();

    // Windows line ends (one CR, ending each line) and paths; otherwise the
    // desktop game's log.
    const std::string log = run.log();
    const std::regex layout(
        R"(\[INFO\] \(src\\(game|man|share)\\\w+\.cpp:\w+\(\):\d+: errno: (Yep|None)\) .+\r)");
    for (const std::string& line : splitLines(log)) {
        EXPECT_TRUE(std::regex_match(line, layout)) << line;
    }
    const std::vector<std::string> messages = logMessages(linuxLog(log, game));
    const std::vector<std::string> start = {
        "Starting...", "Loading first image:", "Loading image: GAME/res/back2.bmp",
        "Loading second image:", "Loading image: GAME/res/men.bmp"};
    ASSERT_GE(messages.size(), start.size() + 3) << log;
    EXPECT_TRUE(std::equal(start.begin(), start.end(), messages.begin())) << log;
    EXPECT_EQ(
        std::vector(messages.end() - 3, messages.end()),
        (std::vector<std::string>{"Quit message recieved.", "Program closing..", "Finished."}));
}

TEST(WindowsGame, AMissingSheetEndsTheRunWithTheDesktopsChainOfReasons) {
    TempDir unpacked;
    TempDir installed;
    TempDir work;
    const std::string game = unpack(unpacked);
    ASSERT_TRUE(installBuild(SKIRMLINGS_BINARY_DIR, installed.path()));
    std::filesystem::remove(game + "/res/men.bmp");
    std::filesystem::remove(installed.file("res/men.bmp"));

    Child::Options options = gWine->options();
    options.workDir = work.path();
    EXPECT_EQ(runProgram({"wine", game + "/bin/skirmlings.exe"}, options).code, 255);
    const std::string windowsLog = readFile(work.file("session.log"));
    options.env = gameEnvironment(gWine->x);
    EXPECT_EQ(runProgram({installed.file("bin/skirmlings")}, options).code, 255);
    const std::string desktopLog = readFile(work.file("session.log"));

    const std::vector<std::string> chain = {
        "Loading second image:", "Loading image: GAME/res/men.bmp",
        "Could not load BMP: Couldn't open GAME/res/men.bmp", "Could not load men.bmp!",
        "Finished."};
    const std::vector<std::string> messages = logMessages(linuxLog(windowsLog, game));
    ASSERT_GE(messages.size(), chain.size()) << windowsLog;
    EXPECT_TRUE(std::equal(chain.begin(), chain.end(), messages.end() - 5)) << windowsLog;
    EXPECT_EQ(linuxLog(windowsLog, game), linuxLog(desktopLog, installed.path())) << windowsLog;
}

} // namespace
