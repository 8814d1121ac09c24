#include "support/build.h"

#include "xdrive/process.h"

std::string builtGame() {
    return SKIRMLINGS_GAME;
}

bool installGame(const std::string& prefix) {
    return runProgram({SKIRMLINGS_CMAKE, "--install", SKIRMLINGS_BINARY_DIR, "--prefix", prefix})
               .code == 0;
}
