// The capacity rule of the counted strings. The edge cases of each
// operation run in test_bstring_alloc (with and without its allocations
// failing), the broad mix in test_bstring_model.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "share/alloc.h"
#include "share/bstring.h"

TEST(Bstring, CapacityFollowsTheRule) {
    constexpr int G = 1 << 30; // the largest power of two a capacity can be
    const std::pair<int, int> rule[] = {{-1, 8},    {7, 8},     {8, 16}, {16, 32},
                                        {100, 128}, {G - 1, G}, {G, G},  {INT_MAX, INT_MAX}};
    for (auto [n, want] : rule) {
        EXPECT_EQ(Bstring_capacityFor(n), want) << n;
    }
}

TEST(Bstring, AppendingTextWithNoMemoryLeftKeepsTheBytesThatFitted) {
    const bstring s = Bstring_fromCstr("abc"); // capacity 8: five spare bytes
    ASSERT_NE(s, nullptr);
    Util_FailAllocAt(1, 1000); // every allocation from now on fails
    EXPECT_EQ(Bstring_appendCstr(s, "defghijkl"), -1);
    Util_FailAllocAt(0);
    EXPECT_EQ(s->capacity, 8);
    EXPECT_EQ(s->length, 8);
    EXPECT_EQ(std::string(s->data, 8), "abcdefgh");
    EXPECT_EQ(Bstring_destroy(s), 0);
}

TEST(Bstring, ALongerReplacementGrowsAFullBufferEvenWhenNothingMatches) {
    char x[] = "x", yy[] = "yy";
    const BstringRecord pattern{2, 1, x}, replacement{3, 2, yy};
    for (const bool memory : {true, false}) {
        const bstring s = Bstring_fromCstr("abc");
        ASSERT_EQ(Bstring_appendCstr(s, "defg"), 0); // seven bytes and the NUL fill all eight
        ASSERT_EQ(s->capacity, 8);
        Util_FailAllocAt(memory ? 0 : 1, 1000);
        EXPECT_EQ(Bstring_findReplace(s, &pattern, &replacement, 0), memory ? 0 : -1);
        Util_FailAllocAt(0);
        EXPECT_EQ(s->capacity, memory ? 16 : 8);
        EXPECT_EQ(std::string(s->data), "abcdefg");
        EXPECT_EQ(Bstring_destroy(s), 0);
    }
}
