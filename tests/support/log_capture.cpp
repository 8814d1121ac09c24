#include "support/log_capture.h"

#include <sstream>
#include <utility>

#include "share/log.h"

LogCapture::LogCapture() : file_(std::tmpfile()), previous_(std::exchange(gLog, file_)) {}

LogCapture::~LogCapture() {
    gLog = previous_;
    std::fclose(file_);
}

std::string LogCapture::text() const {
    std::fflush(file_);
    std::string all(static_cast<std::size_t>(std::ftell(file_)), '\0');
    std::rewind(file_);
    all.resize(std::fread(all.data(), 1, all.size(), file_));
    std::fseek(file_, 0, SEEK_END);
    return all;
}

namespace {
std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}
} // namespace

std::vector<std::string> LogCapture::lines() const {
    return splitLines(text());
}

std::vector<std::string> logMessages(const std::string& text) {
    std::vector<std::string> out;
    for (const std::string& line : splitLines(text)) {
        const std::size_t cut = line.find(") ");
        out.push_back(cut == std::string::npos ? line : line.substr(cut + 2));
    }
    return out;
}
