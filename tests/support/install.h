// Installing a build of the game, as a player would get it.
#pragma once

#include <string>

#include "xdrive/process.h"

// cmake --install of the build folder into prefix; true on success.
inline bool installBuild(const std::string& build, const std::string& prefix) {
    return runProgram({SKIRMLINGS_CMAKE, "--install", build, "--prefix", prefix}).code == 0;
}
