// A private X server, and the game run on it: driven by keys and signals,
// photographed, and its log read. The tests and the screenshot tool use it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "xdrive/process.h"

// Xvfb on a display number it picks itself (so it never takes one in use);
// stopped by the destructor. Only what the test started is stopped.
class Xvfb {
  public:
    Xvfb();
    ~Xvfb();
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

    [[nodiscard]] bool ok() const { return !display_.empty(); }
    [[nodiscard]] const std::string& display() const { return display_; } // ":N"
    [[nodiscard]] pid_t pid() const { return server_ != nullptr ? server_->pid() : -1; }

    // Runs an X client (xdotool, xwd) against this display.
    RunResult client(const std::vector<std::string>& argv) const;

  private:
    std::unique_ptr<Child> server_;
    std::string display_;
};

// An RGB picture, row by row.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    [[nodiscard]] bool empty() const { return rgb.empty(); }
    [[nodiscard]] std::uint32_t at(int x, int y) const; // 0xRRGGBB
    bool operator==(const Picture&) const = default;
};

// Reads an X window dump of 32 bits a pixel (as xwd writes for a 24-bit
// display); empty on any fault.
Picture readXwd(const std::string& bytes);
// Reads a BMP file through SDL into RGB; empty on any fault.
Picture readBmp(const std::string& path);

// The game running on an Xvfb display, in a working directory of its own.
class GameOnScreen {
  public:
    // Starts the game (argv: the game, or a wrapper and the game) with cwd
    // workDir and extra NAME=value pairs.
    GameOnScreen(const Xvfb& x, const std::vector<std::string>& argv, const std::string& workDir,
                 const std::vector<std::string>& env = {});
    GameOnScreen(const Xvfb& x, const std::string& gamePath, const std::string& workDir)
        : GameOnScreen(x, std::vector<std::string>{gamePath}, workDir) {}

    // Waits until the window "Skirmlings!" exists; false past the limit.
    bool waitForWindow(std::chrono::milliseconds limit = GENEROUS);
    [[nodiscard]] const std::string& window() const { return window_; }
    // Presses and releases a key (xdotool key name, e.g. "p").
    bool key(const std::string& name) const;
    // The window's own picture; empty on any fault.
    [[nodiscard]] Picture screenshot() const;
    // Waits until two screenshots taken one after the other differ.
    bool waitForPictureChange(std::chrono::milliseconds limit = GENEROUS);
    // Waits until two screenshots taken one after the other are the same
    // (a frame drawn just before a pause may still be on its way) and gives
    // that picture; empty past the limit.
    Picture waitForStillPicture(std::chrono::milliseconds limit = GENEROUS);
    // Whether the process holds session.log open right now.
    [[nodiscard]] bool logOpen() const;
    [[nodiscard]] std::string log() const;
    [[nodiscard]] std::string output() const { return readFile(outputPath_); }
    Child& process() { return *child_; }
    // SIGTERM (a quit request), then the exit code; -1 past the limit.
    int quit();

  private:
    const Xvfb& x_;
    std::string workDir_;
    std::string outputPath_;
    std::unique_ptr<Child> child_;
    std::string window_;
};

// The environment the game runs in on this display.
std::vector<std::string> gameEnvironment(const Xvfb& x);
