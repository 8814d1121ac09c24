// The session log: the layout of a line, the errno marker, and a log that
// is closed or reopened.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <regex>

#include "share/log.h"
#include "support/log_capture.h"
#include "xdrive/process.h"

namespace {

// Sets errno as a side effect, to show when arguments are evaluated.
const char* settingErrno(const char* text) {
    errno = ERANGE;
    return text;
}

TEST(SessionLog, LinesCarryLevelPlaceMarkerAndMessage) {
    LogCapture log;
    errno = 0;
    const int first = __LINE__ + 1;
    Log_Info("info %d and %s", 42, settingErrno("text")); // marker chosen before the argument
    Log_Warn("plain warning");                            // errno left as the argument set it
    Log_Error("error: %s", "boom");                       // clears errno afterwards
    const int errnoAfterError = errno;
    Log_Info("after the error");
    const std::regex layout(
        R"(^\[(INFO|WARN|ERROR)\] \(tests/test_log.cpp:TestBody\(\):(\d+): errno: (Yep|None)\) (.*)$)");
    const std::vector<std::vector<std::string>> expected = {{"INFO", "None", "info 42 and text"},
                                                            {"WARN", "Yep", "plain warning"},
                                                            {"ERROR", "Yep", "error: boom"},
                                                            {"INFO", "None", "after the error"}};
    const std::vector<std::string> lines = log.lines();
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(lines[i], m, layout)) << lines[i];
        EXPECT_EQ(m[1], expected[i][0]);
        EXPECT_EQ(m[2], std::to_string(first + static_cast<int>(i) + (i == 3 ? 1 : 0)));
        EXPECT_EQ(m[3], expected[i][1]) << lines[i];
        EXPECT_EQ(m[4], expected[i][2]);
    }
    EXPECT_EQ(errnoAfterError, 0);
}

TEST(SessionLog, AClosedLogTakesNothingButAnErrorStillClearsErrno) {
    char home[4096] = {};
    ASSERT_NE(getcwd(home, sizeof home), nullptr);
    TempDir dir;
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    writeFile("session.log", "an old run\n");
    ASSERT_EQ(Log_open("w"), 0);
    Log_Info("first run");
    Log_close(); // as a pause does
    errno = EIO;
    Log_Info("lost");
    Log_flush();
    Log_close();
    EXPECT_EQ(errno, EIO);
    Log_Error("lost too");
    EXPECT_EQ(errno, 0);
    ASSERT_EQ(Log_open("a"), 0); // as a resume does
    Log_Info("after resume");
    Log_close();
    EXPECT_EQ(gLog, nullptr);
    EXPECT_EQ(logMessages(readFile("session.log")),
              (std::vector<std::string>{"first run", "after resume"}));
    // A folder in the file's place stops even root from making it.
    std::remove("session.log");
    ASSERT_EQ(mkdir("session.log", 0755), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Log_open("w"), -1);
    EXPECT_EQ(gLog, nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find(
                  "cannot open session.log: Is a directory; going on without a log"),
              std::string::npos);
    ASSERT_EQ(chdir(home), 0);
}

} // namespace
