#include "support/log_capture.h"

#include "share/log.h"
#include "xdrive/process.h"

LogCapture::LogCapture() : file_(std::tmpfile()), previous_(gLog) {
    gLog = file_;
}

LogCapture::~LogCapture() {
    gLog = previous_;
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

std::string LogCapture::text() const {
    std::string all;
    if (file_ != nullptr) {
        std::fflush(file_);
        all.resize(static_cast<std::size_t>(std::ftell(file_)));
        std::rewind(file_);
        all.resize(std::fread(all.data(), 1, all.size(), file_));
        std::fseek(file_, 0, SEEK_END);
    }
    return all;
}

std::vector<std::string> LogCapture::lines() const {
    return splitLines(text());
}

std::vector<std::string> LogCapture::messages() const {
    return logMessages(text());
}

std::vector<std::string> logMessages(const std::string& text) {
    std::vector<std::string> out;
    for (const std::string& line : splitLines(text)) {
        const std::size_t cut = line.find(") ");
        out.push_back(cut == std::string::npos ? line : line.substr(cut + 2));
    }
    return out;
}
