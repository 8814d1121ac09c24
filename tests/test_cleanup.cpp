// A test that crashes leaves nothing running: the X server it started ends
// with it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "xdrive/xvfb.h"

TEST(Cleanup, ACrashedTestLeavesNoXServerBehind) {
    // Orphans of the crashed child come back to this process, so it can
    // watch them end (or find them still running).
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        Xvfb x;
        const pid_t server = x.ok() ? x.pid() : -1;
        (void)!write(fds[1], &server, sizeof server);
        std::abort(); // as a sanitizer or a planted fault would
    }
    close(fds[1]);
    pid_t server = -1;
    ASSERT_EQ(read(fds[0], &server, sizeof server), static_cast<ssize_t>(sizeof server));
    close(fds[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT);
    ASSERT_GT(server, 0) << "Xvfb did not start";
    const bool ended = waitFor([&] { return waitpid(server, &status, WNOHANG) == server; });
    EXPECT_TRUE(ended) << "the crashed test's X server is still running";
    if (!ended) {
        kill(server, SIGKILL);
        waitpid(server, &status, 0);
    }
}
