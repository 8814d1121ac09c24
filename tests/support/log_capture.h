// Points the session log at a temporary file for the life of the object,
// so a test can read back exactly the lines the game wrote.
#pragma once

#include <sys/stat.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "share/log.h"

// The lines of a text; as messages, what follows each line's prefix.
inline std::vector<std::string> splitLines(const std::string& text, bool messages) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const std::size_t cut = messages ? line.find(") ") : std::string::npos;
        lines.push_back(cut == std::string::npos ? line : line.substr(cut + 2));
    }
    return lines;
}
inline std::vector<std::string> logMessages(const std::string& text) {
    return splitLines(text, true);
}

// Bytes of the session log that reached its file: lines get there only by
// a flush. -1 when there is no log.
inline long flushedBytes() {
    struct stat file {};
    return gLog != nullptr && fstat(fileno(gLog), &file) == 0 ? static_cast<long>(file.st_size)
                                                              : -1;
}

class LogCapture {
  public:
    LogCapture() : file_(std::tmpfile()), previous_(std::exchange(gLog, file_)) {}
    ~LogCapture() {
        gLog = previous_;
        std::fclose(file_);
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Everything written so far (flushed first), as text and as lines.
    [[nodiscard]] std::string text() const {
        std::fflush(file_);
        std::string all(static_cast<std::size_t>(std::ftell(file_)), '\0');
        std::rewind(file_);
        all.resize(std::fread(all.data(), 1, all.size(), file_));
        std::fseek(file_, 0, SEEK_END);
        return all;
    }
    [[nodiscard]] std::vector<std::string> lines() const { return splitLines(text(), false); }

  private:
    std::FILE* file_;
    std::FILE* previous_;
};
