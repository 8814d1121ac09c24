#include <ctime>

#include "share/share_utils.h"

namespace {
std::uint32_t gRandState = 1;

// One step of the generator; unsigned arithmetic wraps modulo 2^32.
int nextOutput() {
    gRandState = gRandState * 214013u + 2531011u;
    return static_cast<int>((gRandState >> 16) & 32767u);
}
} // namespace

int Util_SeedRand() {
    Util_SeedRandWith(static_cast<std::uint32_t>(std::time(nullptr)));
    return 0;
}

void Util_SeedRandWith(std::uint32_t state) {
    gRandState = state;
}

int Util_Rand(int n) {
    // Single precision throughout: an output of 0 gives a small negative
    // product that truncates to 0, which is why 0 is slightly favoured.
    const float unit = static_cast<float>(nextOutput() - 1) / 32767.0f;
    return static_cast<int>(unit * static_cast<float>(n));
}
