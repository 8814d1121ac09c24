// The session log: the layout of a line, the errno marker, and a log that
// is closed or cannot be opened.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <regex>

#include "game/log.h"
#include "support/log_capture.h"
#include "support/process.h"

namespace {

// Each level as the game calls it, from a function with a known name.
int writeInfo(int value) {
    Log_Info("info %d and %s", value, "text");
    return __LINE__ - 1;
}
int writeWarn() {
    Log_Warn("plain warning");
    return __LINE__ - 1;
}
int writeError(const char* what) {
    Log_Error("error: %s", what);
    return __LINE__ - 1;
}

TEST(SessionLog, EachLevelWritesOneLineFieldByField) {
    LogCapture log;
    errno = 0;
    const int infoLine = writeInfo(42);
    const int warnLine = writeWarn();
    const int errorLine = writeError("boom");
    const std::vector<std::string> lines = log.lines();
    ASSERT_EQ(lines.size(), 3u);
    const std::regex layout(
        R"(^\[(INFO|WARN|ERROR)\] \(([^:]+):(\w+)\(\):(\d+): errno: (Yep|None)\) (.*)$)");
    const struct {
        const char* tag;
        const char* function;
        int line;
        const char* message;
    } expected[] = {{"INFO", "writeInfo", infoLine, "info 42 and text"},
                    {"WARN", "writeWarn", warnLine, "plain warning"},
                    {"ERROR", "writeError", errorLine, "error: boom"}};
    for (std::size_t i = 0; i < 3; ++i) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(lines[i], m, layout)) << lines[i];
        EXPECT_EQ(m[1], expected[i].tag);
        EXPECT_EQ(m[2], "tests/test_log.cpp");
        EXPECT_EQ(m[3], expected[i].function);
        EXPECT_EQ(m[4], std::to_string(expected[i].line));
        EXPECT_EQ(m[5], "None");
        EXPECT_EQ(m[6], expected[i].message);
    }
}

TEST(SessionLog, OnlyAnErrorLineClearsErrno) {
    LogCapture log;
    errno = EINVAL;
    writeWarn();
    EXPECT_EQ(errno, EINVAL);
    writeInfo(1);
    EXPECT_EQ(errno, EINVAL);
    writeError("first");
    EXPECT_EQ(errno, 0);
    writeInfo(2);
    errno = ENOENT;
    writeError("second");
    const std::vector<std::string> lines = log.lines();
    ASSERT_EQ(lines.size(), 5u);
    const char* markers[] = {"Yep", "Yep", "Yep", "None", "Yep"};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_NE(lines[i].find(std::string("errno: ") + markers[i] + ")"), std::string::npos)
            << lines[i];
    }
}

// An argument that sets errno must not change the marker chosen before it.
const char* settingErrno() {
    errno = ERANGE;
    return "arg";
}

TEST(SessionLog, MarkerIsChosenBeforeTheArgumentsAreEvaluated) {
    LogCapture log;
    errno = 0;
    Log_Info("%s", settingErrno());
    EXPECT_EQ(errno, ERANGE);
    Log_Error("%s", settingErrno());
    EXPECT_EQ(errno, 0);
    const std::vector<std::string> lines = log.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("errno: None) arg"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("errno: Yep) arg"), std::string::npos) << lines[1];
}

TEST(SessionLog, ClosedLogWritesNothingButErrorStillClearsErrno) {
    std::FILE* const saved = gLog;
    gLog = nullptr;
    errno = EIO;
    writeInfo(3);
    Log_flush();
    Log_close();
    EXPECT_EQ(errno, EIO);
    writeError("lost");
    EXPECT_EQ(errno, 0);
    EXPECT_EQ(gLog, nullptr);
    gLog = saved;
}

// Runs body in a fresh working folder and gives back what it left there.
class LogFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(getcwd(home_, sizeof home_), nullptr);
        ASSERT_EQ(chdir(dir_.path().c_str()), 0);
    }
    void TearDown() override {
        Log_close();
        ASSERT_EQ(chdir(home_), 0);
    }
    TempDir dir_;
    char home_[4096] = {};
};

TEST_F(LogFileTest, StartTruncatesAndResumeAppends) {
    writeFile(dir_.file("session.log"), "an old run\n");
    ASSERT_EQ(Log_open("w"), 0);
    Log_Info("first run");
    Log_close(); // a pause
    EXPECT_EQ(gLog, nullptr);
    ASSERT_EQ(Log_open("a"), 0);
    Log_Info("after resume");
    Log_close();
    const std::vector<std::string> lines = splitLines(readFile(dir_.file("session.log")));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find(") first run"), std::string::npos);
    EXPECT_NE(lines[1].find(") after resume"), std::string::npos);
}

TEST_F(LogFileTest, AFileThatCannotBeMadeLeavesTheLogClosed) {
    ASSERT_EQ(mkdir(dir_.file("session.log").c_str(), 0755), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Log_open("w"), -1);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(gLog, nullptr);
    EXPECT_NE(said.find("session.log"), std::string::npos) << said;
    EXPECT_NE(said.find(std::strerror(EISDIR)), std::string::npos) << said;
    Log_Info("goes nowhere");
}

} // namespace
