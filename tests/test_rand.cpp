// The random draw: its sequence, its range, and its slight lean to 0.
#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>

#include "share/share_utils.h"

namespace {

constexpr std::uint32_t MUL = 214013u;
constexpr std::uint32_t ADD = 2531011u;

// The state whose next step gives the wanted 15-bit output; found by
// running the recurrence backwards (MUL is odd, so it has an inverse).
std::uint32_t stateBefore(std::uint32_t output) {
    std::uint32_t inverse = MUL; // Newton's iteration for the inverse mod 2^32
    for (int i = 0; i < 5; ++i) {
        inverse *= 2u - MUL * inverse;
    }
    const std::uint32_t after = output << 16;
    return (after - ADD) * inverse;
}

TEST(RandomDraw, FollowsTheRecurrenceFromAKnownState) {
    std::uint32_t state = 12345u;
    Util_SeedRandWith(state);
    for (int i = 0; i < 10000; ++i) {
        state = state * MUL + ADD;
        const int output = static_cast<int>((state >> 16) & 0x7FFFu);
        const int n = 1 + i % 1000;
        const int expected =
            static_cast<int>(static_cast<float>(output - 1) / 32767.0f * static_cast<float>(n));
        ASSERT_EQ(Util_Rand(n), expected) << "draw " << i;
    }
}

TEST(RandomDraw, KnownFirstDrawsFromStateOne) {
    // Worked by hand: state 1 -> 2745024, output 41; -> 3357800067, output 18467.
    Util_SeedRandWith(1u);
    EXPECT_EQ(Util_Rand(32767), 40);
    EXPECT_EQ(Util_Rand(32767), 18466);
}

TEST(RandomDraw, StaysInRangeAtBothEndsOfTheOutput) {
    for (int n = 1; n <= 32766; ++n) {
        Util_SeedRandWith(stateBefore(32767u));
        const int top = Util_Rand(n);
        ASSERT_GE(top, 0) << n;
        ASSERT_LT(top, n) << "the largest output must stay below n=" << n;
        Util_SeedRandWith(stateBefore(0u));
        ASSERT_EQ(Util_Rand(n), 0) << "an output of 0 truncates to 0 for n=" << n;
        Util_SeedRandWith(stateBefore(1u));
        ASSERT_EQ(Util_Rand(n), 0);
    }
}

TEST(RandomDraw, EveryValueComesUpEvenly) {
    Util_SeedRandWith(7u);
    int counts[9] = {};
    for (int i = 0; i < 900000; ++i) {
        const int r = Util_Rand(9);
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 9);
        ++counts[r];
    }
    for (int v = 1; v < 9; ++v) {
        EXPECT_GT(counts[v], 90000);
        EXPECT_LT(counts[v], 110000);
    }
    Util_SeedRandWith(99u);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(Util_Rand(1), 0);
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
