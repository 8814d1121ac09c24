// The random draw: its sequence and its single-precision arithmetic for
// every n. (The game seeding it from the clock is tested with the shell.)
#include <gtest/gtest.h>

#include <cmath>

#include "share/share_utils.h"
#include "support/replay.h"

namespace {

// The state whose next step gives the wanted output: the recurrence run
// backwards (the multiplier is odd, so Newton's iteration inverts it).
std::uint32_t stateBefore(std::uint32_t output) {
    std::uint32_t inverse = 214013u;
    for (int i = 0; i < 5; ++i) {
        inverse *= 2u - 214013u * inverse;
    }
    return ((output << 16) - 2531011u) * inverse;
}

// The draw as single precision gives it, worked out exactly: the float
// nearest the quotient, found by comparing neighbours in double (where
// q * 32767 is exact), then the product, exact in double and rounded once.
int singlePrecisionDraw(int output, int n) {
    const double exact = output - 1;
    auto q = static_cast<float>(exact / 32767.0);
    for (const float near : {std::nextafter(q, -1.0f), std::nextafter(q, 1.0f)}) {
        q = std::fabs(near * 32767.0 - exact) < std::fabs(q * 32767.0 - exact) ? near : q;
    }
    return static_cast<int>(static_cast<float>(static_cast<double>(q) * n));
}

TEST(RandomDraw, FollowsTheRecurrenceAndRoundsInSinglePrecisionForEveryN) {
    Replay replay{12345u};
    Util_SeedRandWith(12345u);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(Util_Rand(32766), replay.draw(32766)) << "draw " << i;
    }
    // Both ends of the output and a spread between them; an output of 0
    // gives a tiny negative product that truncates to 0.
    for (int n = 1; n <= 32766; ++n) {
        for (int k = 0; k < 34; ++k) {
            const int output = k == 0 ? 0 : k == 1 ? 32767 : (n * 37 + k * 1093) % 32768;
            Util_SeedRandWith(stateBefore(static_cast<std::uint32_t>(output)));
            ASSERT_EQ(Util_Rand(n), singlePrecisionDraw(output, n)) << output << " of " << n;
        }
    }
}

} // namespace
