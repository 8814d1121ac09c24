// The session log: one shared stream and three line writers.
//
// A line reads "[LEVEL] (file:function():line: errno: Yep|None) message".
// The errno marker is chosen before the message's own arguments are
// evaluated, so an argument such as SDL_GetError() cannot change it.
// Nothing is written while gLog is null (not yet open, paused, closed).
// Log_Error clears errno once its line is written; the others leave it.
// No writer flushes.
#pragma once

#include <cerrno>
#include <cstdio>

// The log stream; null whenever the log is not open.
extern std::FILE* gLog;

#define LOG_LINE_(tag, clearErrno, fmt, ...)                                                       \
    do {                                                                                           \
        const char* const logMarker_ = errno != 0 ? "Yep" : "None";                                \
        if (gLog != nullptr) {                                                                     \
            std::fprintf(gLog, tag " (%s:%s():%d: errno: %s) " fmt "\n", __FILE__, __func__,       \
                         __LINE__, logMarker_ __VA_OPT__(, ) __VA_ARGS__);                         \
        }                                                                                          \
        if (clearErrno) {                                                                          \
            errno = 0;                                                                             \
        }                                                                                          \
    } while (0)

#define Log_Info(fmt, ...) LOG_LINE_("[INFO]", false, fmt __VA_OPT__(, ) __VA_ARGS__)
#define Log_Warn(fmt, ...) LOG_LINE_("[WARN]", false, fmt __VA_OPT__(, ) __VA_ARGS__)
#define Log_Error(fmt, ...) LOG_LINE_("[ERROR]", true, fmt __VA_OPT__(, ) __VA_ARGS__)

// Opens "session.log" in the working directory with the given stdio mode
// ("w" at start-up, "a" on resume). On failure gLog stays null, the game
// goes on without a log, and one line naming the file and the reason goes
// to standard error. Returns 0 when the log is open, -1 otherwise.
int Log_open(const char* mode);

// Flushes the log; does nothing while it is closed.
void Log_flush();

// Flushes and closes the log and leaves gLog null; does nothing while it is
// closed.
void Log_close();
