// The game as this build made it.
#pragma once

#include <string>

// The built game's path.
std::string builtGame();
// Installs the build into prefix with cmake --install; true on success.
bool installGame(const std::string& prefix);
