// The Windows game as a player gets it: the zip unpacked into a scratch
// folder and the .exe run under wine on a private X server, from a working
// folder of its own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <regex>

#include "support/on_screen.h"

namespace {
// One X server and one wine prefix serve every test here: making a prefix
// takes many seconds. The wine processes are not this program's children:
// the tear-down ends them with wineserver -k, and a watchdog does the same
// if this program dies first.
struct Wine : ::testing::Environment {
    std::optional<Xvfb> x;
    TempDir prefix, sockets; // the wineserver keeps its socket in the latter

    [[nodiscard]] Child::Options options(const std::string& workDir = "") const {
        Child::Options options;
        options.workDir = workDir;
        options.env = {"WINEPREFIX=" + prefix.path(),
                       "WINEARCH=win64",
                       "WINEDEBUG=-all",
                       "WINEDLLOVERRIDES=mscoree,mshtml=",
                       "TMPDIR=" + sockets.path(),
                       "DISPLAY=" + x->display()};
        return options;
    }
    void SetUp() override {
        x.emplace();
        ASSERT_TRUE(x->ok()) << "Xvfb did not start";
        // The inner shell is no child of ours, so it outlives this program.
        const std::string watch = "while kill -0 " + std::to_string(getpid()) +
                                  "; do sleep 1; done; wineserver -k; rm -rf \"$1\" \"$2\"";
        (void)runProgram({"sh", "-c", "sh -c \"$0\" watch \"$1\" \"$2\" >/dev/null 2>&1 &", watch,
                          prefix.path(), sockets.path()},
                         options());
        // A persistent server stays up between the games.
        ASSERT_EQ(runProgram({"wineserver", "--persistent"}, options()).code, 0);
        const RunResult boot =
            runProgram({"wineboot", "--init"}, options(), std::chrono::minutes(5));
        ASSERT_EQ(boot.code, 0) << boot.output;
    }
    void TearDown() override {
        (void)runProgram({"wineserver", "--kill"}, options());
        (void)runProgram({"wineserver", "--wait"}, options());
    }
};
Wine* const gWine = static_cast<Wine*>(::testing::AddGlobalTestEnvironment(new Wine));

// The zip unpacked into a fresh folder, the game's folder in it, and a
// working folder to run it from.
struct Unpacked {
    TempDir dir, work;
    const std::string game = dir.file("skirmlings-windows");
    const bool ok = runProgram({SKIRMLINGS_CMAKE, "-E", "tar", "xf", SKIRMLINGS_WINDOWS_ZIP},
                               gWine->options(dir.path()))
                        .code == 0;

    // The log's messages put the Linux way: Linux line ends and path
    // separators, and the game's folder called GAME.
    [[nodiscard]] Lines messages() const {
        std::string log = readFile(work.file("session.log"));
        std::erase(log, '\r');
        std::replace(log.begin(), log.end(), '\\', '/');
        for (std::size_t at = 0; (at = log.find("Z:" + game)) != std::string::npos;) {
            log.replace(at, game.size() + 2, "GAME");
        }
        return logMessages(log);
    }
};

TEST(WindowsGame, PlaysPausesAndClosesOnRequestAsOnTheDesktop) {
    const Unpacked zip;
    ASSERT_TRUE(zip.ok);
    const Picture field = readBmp(zip.game + "/res/back2.bmp");
    ASSERT_FALSE(field.empty());
    GameOnScreen run(gWine->x.value(), {"wine", zip.game + "/bin/skirmlings.exe"}, zip.work.path(),
                     gWine->options().env);
    const Picture paused = pauseAndResume(run, "p");
    // The field, with the men on it and the sheet's green nowhere.
    ASSERT_TRUE(paused.width == 600 && paused.height == 400);
    int changed = 0;
    for (int i = 0; i < 600 * 400; ++i) {
        ASSERT_NE(paused.at(i % 600, i / 600), 0x00FF00u) << "the sheet's green shows at " << i;
        changed += paused.at(i % 600, i / 600) != field.at(i % 600, i / 600) ? 1 : 0;
    }
    EXPECT_TRUE(changed > 4000 && changed < 600 * 400 / 4) << changed << " pixels differ";
    // What the window's close button sends: Windows turns Alt+F4 into the
    // same close command.
    ASSERT_TRUE(run.key("alt+F4"));
    int code = -1;
    ASSERT_TRUE(run.process().waitExit(&code));
    EXPECT_EQ(code, 0) << run.output();
    // Windows line ends (one CR, ending each line) and paths; otherwise the
    // desktop game's log.
    const std::regex layout(
        R"(\[INFO\] \(src\\(game|man|share)\\\w+\.cpp:\w+\(\):\d+: errno: (Yep|None)\) .+\r)");
    for (const std::string& line : splitLines(run.log())) {
        EXPECT_TRUE(std::regex_match(line, layout)) << line;
    }
    EXPECT_TRUE(orderlyRun(zip.messages(), "GAME")) << run.log();
}

TEST(WindowsGame, AMissingSheetEndsTheRunWithTheDesktopsChainOfReasons) {
    const Unpacked zip;
    ASSERT_TRUE(zip.ok);
    std::filesystem::remove(zip.game + "/res/men.bmp");
    EXPECT_EQ(
        runProgram({"wine", zip.game + "/bin/skirmlings.exe"}, gWine->options(zip.work.path()))
            .code,
        255);
    Lines chain = startLines("GAME");
    chain.insert(chain.end(), {"Could not load BMP: Couldn't open GAME/res/men.bmp",
                               "Could not load men.bmp!", "Finished."});
    EXPECT_EQ(zip.messages(), chain);
}

} // namespace
