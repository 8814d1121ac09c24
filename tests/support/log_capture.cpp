#include "support/log_capture.h"

#include <sstream>

#include "game/log.h"

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
    if (file_ == nullptr) {
        return {};
    }
    std::fflush(file_);
    const long end = std::ftell(file_);
    std::string all(static_cast<std::size_t>(end), '\0');
    std::rewind(file_);
    const std::size_t got = std::fread(all.data(), 1, all.size(), file_);
    all.resize(got);
    std::fseek(file_, 0, SEEK_END);
    return all;
}

std::vector<std::string> LogCapture::lines() const {
    std::vector<std::string> out;
    std::istringstream in(text());
    for (std::string line; std::getline(in, line);) {
        out.push_back(line);
    }
    return out;
}

std::vector<std::string> LogCapture::messages() const {
    std::vector<std::string> out;
    for (const std::string& line : lines()) {
        const std::size_t cut = line.find(") ");
        out.push_back(cut == std::string::npos ? line : line.substr(cut + 2));
    }
    return out;
}
