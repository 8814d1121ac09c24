#include "share/log.h"

#include <cstring>

std::FILE* gLog = nullptr;

namespace {
constexpr const char* LOG_FILE_NAME = "session.log";
}

int Log_open(const char* mode) {
    gLog = std::fopen(LOG_FILE_NAME, mode);
    if (gLog == nullptr) {
        std::fprintf(stderr, "skirmlings: cannot open %s: %s; going on without a log\n",
                     LOG_FILE_NAME, std::strerror(errno));
        return -1;
    }
    return 0;
}

void Log_flush() {
    if (gLog != nullptr) {
        std::fflush(gLog);
    }
}

void Log_close() {
    if (gLog != nullptr) {
        std::fclose(gLog);
        gLog = nullptr;
    }
}
