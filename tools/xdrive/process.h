// Running other programs: the real game, Xvfb, xdotool, xwd.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;

// Limits are generous: the machines that run this are shared and noisy.
constexpr std::chrono::seconds GENEROUS = std::chrono::seconds(60);

// Polls cond every 20 ms until it holds or the limit passes; says which.
bool waitFor(const std::function<bool()>& cond, std::chrono::milliseconds limit = GENEROUS);

// A child process; killed (SIGKILL) and reaped by the destructor if it is
// still running, and killed by the system if this process dies first.
class Child {
  public:
    struct Options {
        std::string workDir;                  // empty: the test's own
        std::vector<std::string> env;         // NAME=value to set
        std::vector<std::string> unsetEnv;    // names to remove
        std::string outputFile = "/dev/null"; // stdout and stderr go here
        int extraFd = -1;                     // kept open in the child
    };

    Child(const std::vector<std::string>& argv, const Options& options);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    [[nodiscard]] pid_t pid() const { return pid_; }
    void signal(int sig) const;
    // Waits for the exit; true with its exit code (128 + signal number for a
    // killed child) in *code, false when the limit passed first.
    bool waitExit(int* code, std::chrono::milliseconds limit = GENEROUS);
    [[nodiscard]] bool running();

  private:
    pid_t pid_ = -1;
    bool reaped_ = false;
    int code_ = -1;
};

// Runs a program to its end; gives its exit code (-1 when it overran the
// limit) and what it printed.
struct RunResult {
    int code;
    std::string output;
};
RunResult runProgram(const std::vector<std::string>& argv, const Child::Options& options = {},
                     std::chrono::milliseconds limit = GENEROUS);

// A fresh empty directory under the system's temporary folder, removed with
// everything in it by the destructor.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    [[nodiscard]] const std::string& path() const { return path_; }
    [[nodiscard]] std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// Whole-file helpers; readFile gives "" for a missing file.
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
std::vector<std::string> splitLines(const std::string& text);
