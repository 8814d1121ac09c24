// The game's random draws worked out apart from the game: the generator's
// recurrence and the single-precision draw from each output, so a test can
// tell in advance what the game will draw from a given state.
#pragma once

#include <cstdint>

struct Replay {
    std::uint32_t state;

    int output() {
        state = state * 214013u + 2531011u;
        return static_cast<int>(state >> 16 & 32767u);
    }
    int draw(int n) {
        return static_cast<int>(static_cast<float>(output() - 1) / 32767.0f *
                                static_cast<float>(n));
    }
};
