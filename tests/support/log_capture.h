// Points the session log at a temporary file for the life of the object,
// so a test can read back exactly the lines the game wrote.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

class LogCapture {
  public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Everything written so far.
    [[nodiscard]] std::string text() const;
    // The lines written so far, without their line ends.
    [[nodiscard]] std::vector<std::string> lines() const;
    // The message of each line (what follows the prefix).
    [[nodiscard]] std::vector<std::string> messages() const;

  private:
    std::FILE* file_;
    std::FILE* previous_;
};

// The message of each line of a log's text.
std::vector<std::string> logMessages(const std::string& text);
