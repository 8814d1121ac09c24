#include "xdrive/xvfb.h"

#include <SDL.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

Xvfb::Xvfb() {
    int fds[2];
    if (pipe(fds) != 0) {
        return;
    }
    Child::Options options;
    options.extraFd = fds[1];
    server_ = std::make_unique<Child>(
        std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                 "800x600x24", "-nolisten", "tcp", "-noreset"},
        options);
    // Xvfb writes its display number once it is ready; the pipe ends
    // without one if it dies first.
    close(fds[1]);
    std::string number;
    for (char c = 0; read(fds[0], &c, 1) == 1 && c != '\n';) {
        number += c;
    }
    close(fds[0]);
    if (!number.empty()) {
        display_ = ":" + number;
    }
}

Xvfb::~Xvfb() {
    if (server_ != nullptr) {
        server_->signal(SIGTERM);
        int code = 0;
        (void)server_->waitExit(&code, std::chrono::seconds(20));
    }
}

RunResult Xvfb::client(const std::vector<std::string>& argv) const {
    Child::Options options;
    options.env = {"DISPLAY=" + display_};
    return runProgram(argv, options);
}

std::uint32_t Picture::at(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    return (std::uint32_t{rgb[i]} << 16) | (std::uint32_t{rgb[i + 1]} << 8) | rgb[i + 2];
}

Picture readXwd(const std::string& bytes) {
    // A window dump: a header of 32-bit big-endian fields, the window's
    // name, a colour table of 12-byte entries, then the rows of pixels.
    const auto field = [&bytes](std::size_t i) {
        if (bytes.size() < 4 * (i + 1)) {
            return std::uint32_t{0};
        }
        std::uint32_t v = 0;
        for (std::size_t b = 0; b < 4; ++b) {
            v = (v << 8) | static_cast<std::uint8_t>(bytes[4 * i + b]);
        }
        return v;
    };
    const std::uint32_t headerSize = field(0);
    const int w = static_cast<int>(field(4));
    const int h = static_cast<int>(field(5));
    const bool msbFirst = field(7) == 1;
    const std::uint32_t bitsPerPixel = field(11);
    const std::size_t bytesPerLine = field(12);
    const std::size_t start = headerSize + std::size_t{field(19)} * 12;
    if (bitsPerPixel != 32 || w <= 0 || h <= 0 || bytes.size() < start + bytesPerLine * h) {
        return {};
    }
    Picture p{w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h * 3)};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const char* px = bytes.data() + start + bytesPerLine * y + 4 * x;
            std::uint8_t* out = &p.rgb[(static_cast<std::size_t>(y) * w + x) * 3];
            // Red, green, blue are the bytes 2, 1, 0 of the pixel's value.
            for (int c = 0; c < 3; ++c) {
                out[c] = static_cast<std::uint8_t>(px[msbFirst ? 1 + c : 2 - c]);
            }
        }
    }
    return p;
}

Picture readBmp(const std::string& path) {
    SDL_Surface* loaded = SDL_LoadBMP(path.c_str());
    if (loaded == nullptr) {
        return {};
    }
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB24, 0);
    SDL_FreeSurface(loaded);
    if (rgb == nullptr) {
        return {};
    }
    Picture p{rgb->w, rgb->h,
              std::vector<std::uint8_t>(static_cast<std::size_t>(rgb->w) * rgb->h * 3)};
    for (int y = 0; y < rgb->h; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(rgb->pixels) + y * rgb->pitch;
        std::copy(row, row + rgb->w * 3,
                  p.rgb.begin() + static_cast<std::ptrdiff_t>(y) * rgb->w * 3);
    }
    SDL_FreeSurface(rgb);
    return p;
}

std::vector<std::string> gameEnvironment(const Xvfb& x) {
    // The X libraries that SDL loads and unloads at run time leave blocks
    // the leak checker can no longer attribute, so a sanitized game on a real
    // display checks for leaks no further; the memcheck run covers leaks of
    // the real game.
    return {"DISPLAY=" + x.display(), "ASAN_OPTIONS=detect_leaks=0"};
}

GameOnScreen::GameOnScreen(const Xvfb& x, const std::vector<std::string>& argv,
                           const std::string& workDir, const std::vector<std::string>& env)
    : x_(x), workDir_(workDir), outputPath_(workDir + "/.game-output") {
    Child::Options options;
    options.workDir = workDir;
    options.env = gameEnvironment(x);
    options.env.insert(options.env.end(), env.begin(), env.end());
    options.unsetEnv = {"SDL_VIDEODRIVER"};
    options.outputFile = outputPath_;
    child_ = std::make_unique<Child>(argv, options);
}

bool GameOnScreen::waitForWindow(std::chrono::milliseconds limit) {
    return waitFor(
               [this] {
                   if (!child_->running()) {
                       return true; // it will not come; the caller sees no window
                   }
                   const RunResult r = x_.client({"xdotool", "search", "--name", "^Skirmlings!$"});
                   const std::vector<std::string> ids = splitLines(r.output);
                   if (r.code == 0 && !ids.empty()) {
                       window_ = ids.front();
                       return true;
                   }
                   return false;
               },
               limit) &&
           !window_.empty();
}

bool GameOnScreen::key(const std::string& name) const {
    (void)x_.client({"xdotool", "windowfocus", "--sync", window_});
    return x_.client({"xdotool", "key", "--window", window_, name}).code == 0;
}

Picture GameOnScreen::screenshot() const {
    TempDir scratch;
    const RunResult dump =
        x_.client({"xwd", "-silent", "-id", window_, "-out", scratch.file("w.xwd")});
    return dump.code == 0 ? readXwd(readFile(scratch.file("w.xwd"))) : Picture{};
}

bool GameOnScreen::waitForPictureChange(std::chrono::milliseconds limit) {
    Picture before = screenshot();
    return waitFor(
        [&] {
            Picture now = screenshot();
            const bool changed = !now.empty() && !before.empty() && !(now == before);
            before = std::move(now);
            return changed;
        },
        limit);
}

Picture GameOnScreen::waitForStillPicture(std::chrono::milliseconds limit) {
    Picture before;
    const bool still = waitFor(
        [&] {
            Picture now = screenshot();
            const bool same = !now.empty() && now == before;
            before = std::move(now);
            return same;
        },
        limit);
    return still ? before : Picture{};
}

bool GameOnScreen::logOpen() const {
    const std::string fdDir = "/proc/" + std::to_string(child_->pid()) + "/fd";
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(fdDir, ec)) {
        std::error_code linkEc;
        const auto target = std::filesystem::read_symlink(entry.path(), linkEc);
        if (!linkEc && target.filename() == "session.log") {
            return true;
        }
    }
    return false;
}

std::string GameOnScreen::log() const {
    return readFile(workDir_ + "/session.log");
}

int GameOnScreen::quit() {
    child_->signal(SIGTERM);
    int code = -1;
    return child_->waitExit(&code) ? code : -1;
}
