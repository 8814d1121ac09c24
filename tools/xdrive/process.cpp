#include "xdrive/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

bool waitFor(const std::function<bool()>& cond, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    for (;;) {
        if (cond()) {
            return true;
        }
        if (Clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

Child::Child(const std::vector<std::string>& argv, const Options& options) {
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ == 0) {
        // In the child: only async-signal-safe work until exec, apart from
        // the environment, which belongs to this process alone now.
        // Whatever ends the test, a crash included, ends what it started:
        // the signal outlives exec, and a parent already gone is caught.
        if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent) {
            _exit(126);
        }
        if (!options.workDir.empty() && chdir(options.workDir.c_str()) != 0) {
            _exit(126);
        }
        for (const std::string& name : options.unsetEnv) {
            unsetenv(name.c_str());
        }
        for (const std::string& pair : options.env) {
            const std::size_t eq = pair.find('=');
            setenv(pair.substr(0, eq).c_str(), pair.substr(eq + 1).c_str(), 1);
        }
        const int out = open(options.outputFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        const int in = open("/dev/null", O_RDONLY);
        if (out < 0 || in < 0) {
            _exit(126);
        }
        dup2(in, 0);
        dup2(out, 1);
        dup2(out, 2);
        for (int fd = 3; fd < 1024; ++fd) {
            if (fd != options.extraFd) {
                close(fd);
            }
        }
        execvp(args[0], args.data());
        _exit(127);
    }
}

Child::~Child() {
    if (pid_ > 0 && !reaped_) {
        kill(pid_, SIGKILL);
        int ignored = 0;
        (void)waitExit(&ignored, std::chrono::seconds(10));
    }
}

void Child::signal(int sig) const {
    if (pid_ > 0 && !reaped_) {
        kill(pid_, sig);
    }
}

bool Child::waitExit(int* code, std::chrono::milliseconds limit) {
    const bool done = waitFor([this] { return !running(); }, limit);
    if (done) {
        *code = code_;
    }
    return done;
}

bool Child::running() {
    if (pid_ <= 0 || reaped_) {
        return false;
    }
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        reaped_ = true;
        code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return false;
    }
    return true;
}

RunResult runProgram(const std::vector<std::string>& argv, const Child::Options& options,
                     std::chrono::milliseconds limit) {
    TempDir scratch;
    Child::Options opts = options;
    opts.outputFile = scratch.file("output");
    Child child(argv, opts);
    int code = -1;
    if (!child.waitExit(&code, limit)) {
        code = -1;
    }
    return {code, readFile(opts.outputFile)};
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "skirmlings-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
        path_ = pattern;
    }
}

TempDir::~TempDir() {
    if (!path_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}
