// Points the session log at a temporary file for the life of the object,
// so a test can read back exactly the lines the game wrote.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// The message of each line of a log's text (what follows the prefix).
std::vector<std::string> logMessages(const std::string& text);

class LogCapture {
  public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Everything written so far (flushed first), as text, lines and messages.
    [[nodiscard]] std::string text() const;
    [[nodiscard]] std::vector<std::string> lines() const;
    [[nodiscard]] std::vector<std::string> messages() const { return logMessages(text()); }

  private:
    std::FILE* file_;
    std::FILE* previous_;
};
