// The random draw: its sequence, its range, and its seeding.
#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>

#include "share/share_utils.h"

namespace {

constexpr std::uint32_t MUL = 214013u;
constexpr std::uint32_t ADD = 2531011u;

// The state whose next step gives the wanted 15-bit output: the recurrence
// run backwards (MUL is odd, so Newton's iteration finds its inverse).
std::uint32_t stateBefore(std::uint32_t output) {
    std::uint32_t inverse = MUL;
    for (int i = 0; i < 5; ++i) {
        inverse *= 2u - MUL * inverse;
    }
    return ((output << 16) - ADD) * inverse;
}

TEST(RandomDraw, FollowsTheRecurrenceFromAKnownState) {
    std::uint32_t state = 12345u;
    Util_SeedRandWith(state);
    for (int i = 0; i < 10000; ++i) {
        state = state * MUL + ADD;
        const int output = static_cast<int>((state >> 16) & 0x7FFFu);
        const int n = 1 + i % 1000;
        ASSERT_EQ(Util_Rand(n), static_cast<int>(static_cast<float>(output - 1) / 32767.0f *
                                                 static_cast<float>(n)))
            << "draw " << i;
    }
}

TEST(RandomDraw, StaysInRangeForEveryNAtBothEndsOfTheOutput) {
    for (int n = 1; n <= 32766; ++n) {
        Util_SeedRandWith(stateBefore(32767u));
        const int top = Util_Rand(n);
        ASSERT_TRUE(top >= 0 && top < n) << "n=" << n << " gave " << top;
        Util_SeedRandWith(stateBefore(0u)); // a tiny negative product truncates to 0
        ASSERT_EQ(Util_Rand(n), 0) << n;
    }
    Util_SeedRandWith(7u);
    int counts[9] = {};
    for (int i = 0; i < 90000; ++i) {
        ++counts[Util_Rand(9)];
    }
    for (const int c : counts) {
        EXPECT_NEAR(c, 10000, 500);
    }
}

TEST(RandomDraw, SeedingTakesTheClockInWholeSeconds) {
    const auto drawAfterSeed = [](std::uint32_t state) {
        Util_SeedRandWith(state);
        return Util_Rand(32767);
    };
    const auto before = static_cast<std::uint32_t>(std::time(nullptr));
    EXPECT_EQ(Util_SeedRand(), 0);
    const int drawn = Util_Rand(32767);
    const auto after = static_cast<std::uint32_t>(std::time(nullptr));
    EXPECT_TRUE(drawn == drawAfterSeed(before) || drawn == drawAfterSeed(after)) << drawn;
}

} // namespace
