// The session log: the layout of a line, the errno marker, and a log that
// is closed or reopened.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "share/log.h"
#include "support/files.h"
#include "support/log_capture.h"

namespace {
using Lines = std::vector<std::string>;

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
    const auto at = [first](int line, const char* marker) {
        return " (tests/test_log.cpp:TestBody():" + std::to_string(first + line) +
               ": errno: " + marker + ") ";
    };
    EXPECT_EQ(log.lines(), (Lines{"[INFO]" + at(0, "None") + "info 42 and text",
                                  "[WARN]" + at(1, "Yep") + "plain warning",
                                  "[ERROR]" + at(2, "Yep") + "error: boom",
                                  "[INFO]" + at(4, "None") + "after the error"}));
    EXPECT_EQ(errnoAfterError, 0);
}

TEST(SessionLog, AClosedLogTakesNothingButAnErrorStillClearsErrno) {
    const auto home = std::filesystem::current_path();
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
    EXPECT_EQ(logMessages(readFile("session.log")), (Lines{"first run", "after resume"}));
    // A folder in the file's place stops even root from making it.
    std::remove("session.log");
    ASSERT_EQ(mkdir("session.log", 0755), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Log_open("w"), -1);
    EXPECT_EQ(gLog, nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find(
                  "cannot open session.log: Is a directory; going on without a log"),
              std::string::npos);
    std::filesystem::current_path(home);
}

} // namespace
