// Edge cases of the counted strings; test_bstring_model runs the broad mix.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>

#include "share/bstring.h"

namespace {
using Str = std::unique_ptr<BstringRecord, int (*)(bstring)>;

Str make(const char* text) {
    return {Bstring_fromCstr(text), Bstring_destroy};
}

// The string's bytes, after checking the NUL that must follow them.
std::string text(const Str& s) {
    EXPECT_EQ(s->data[s->length], '\0');
    return {s->data, static_cast<std::size_t>(s->length)};
}
} // namespace

TEST(Bstring, CapacityFollowsTheRule) {
    const std::pair<int, int> rule[] = {{-1, 8},
                                        {7, 8},
                                        {8, 16},
                                        {15, 16},
                                        {16, 32},
                                        {100, 128},
                                        {(1 << 30) - 1, 1 << 30},
                                        {1 << 30, 1 << 30},
                                        {INT_MAX, INT_MAX}};
    for (auto [n, want] : rule) {
        EXPECT_EQ(Bstring_capacityFor(n), want) << n;
    }
    const std::pair<const char*, int> made[] = {
        {"", 8}, {"abcdef", 8}, {"abcdefg", 16}, {"abcdefghijklmn", 16}, {"abcdefghijklmno", 32}};
    for (auto [t, want] : made) {
        EXPECT_EQ(make(t)->capacity, want) << t;
    }
    Str roomy = make("abc");
    ASSERT_EQ(Bstring_reserve(roomy.get(), 100), 0);
    Str copy(Bstring_copy(roomy.get()), Bstring_destroy);
    EXPECT_EQ(roomy->capacity, 128);
    EXPECT_EQ(copy->capacity, 8); // a copy is sized by its length alone
}

TEST(Bstring, ReplacesEveryMatchLeftToRight) {
    const struct {
        const char *s, *pattern, *replacement;
        int pos, rc;
        const char* want;
    } cases[] = {{"binbin", "bin", "res", 0, 0, "resres"}, {"aaa", "aa", "b", 0, 0, "ba"},
                 {"aaaa", "aa", "aaa", 0, 0, "aaaaaa"},    {"xbinybinz", "bin", "r", 0, 0, "xryrz"},
                 {"abcabc", "bc", "", 0, 0, "aa"},         {"abcabc", "b", "XYZ", 2, 0, "abcaXYZc"},
                 {"abc", "", "x", 0, -1, "abc"},           {"abcabc", "bc", "x", 5, 0, "abcabc"}};
    for (const auto& c : cases) {
        Str s = make(c.s);
        EXPECT_EQ(
            Bstring_findReplace(s.get(), make(c.pattern).get(), make(c.replacement).get(), c.pos),
            c.rc);
        EXPECT_EQ(text(s), c.want) << c.s << " " << c.pattern;
    }
    // Text taken from the string itself: a pattern that the first
    // replacement overwrites, and a replacement in a buffer that must move.
    Str s = make("abab");
    BstringRecord own{3, 2, s->data};
    EXPECT_EQ(Bstring_findReplace(s.get(), &own, make("cd").get(), 0), 0);
    EXPECT_EQ(text(s), "cdcd");
    s = make("XY-a-a");
    own = {3, 2, s->data};
    EXPECT_EQ(Bstring_findReplace(s.get(), make("a").get(), &own, 2), 0);
    EXPECT_EQ(text(s), "XY-XY-XY");
    EXPECT_EQ(s->capacity, 16);
}

TEST(Bstring, AppendsItselfAndFillsSpareBytesFirst) {
    const struct {
        const char* start;
        int from;         // append the bytes of the string from here on; -1: append more
        const char* more; // appended with appendCstr
        const char* want;
        int capacity;
    } cases[] = {{"ab", 0, "", "abab", 8},
                 {"abcd", 0, "", "abcdabcd", 16},
                 {"abcdef", 3, "", "abcdefdef", 16},
                 {"abc", -1, "defg", "abcdefg", 8},
                 {"abc", -1, "defgh", "abcdefgh", 16}};
    for (const auto& c : cases) {
        Str s = make(c.start);
        const int from = c.from > 0 ? c.from : 0;
        BstringRecord tail{8, s->length - from, s->data + from};
        EXPECT_EQ(c.from < 0   ? Bstring_appendCstr(s.get(), c.more)
                  : c.from > 0 ? Bstring_append(s.get(), &tail)
                               : Bstring_append(s.get(), s.get()),
                  0);
        EXPECT_EQ(text(s), c.want);
        EXPECT_EQ(s->capacity, c.capacity) << c.want;
    }
}

TEST(Bstring, RefusesInvalidArguments) {
    Str s = make("abc");
    BstringRecord hollow{8, 0, nullptr};
    EXPECT_EQ(Bstring_destroy(nullptr) + Bstring_destroy(&hollow), -2);
    EXPECT_EQ(Bstring_reserve(s.get(), 0) + Bstring_append(s.get(), &hollow), -2);
    EXPECT_EQ(Bstring_appendCstr(s.get(), nullptr) + Bstring_appendBytes(s.get(), "x", -1), -2);
    EXPECT_EQ(Bstring_findReplace(s.get(), s.get(), s.get(), -1), -1);
    EXPECT_EQ(Bstring_copy(&hollow), nullptr);
    EXPECT_EQ(text(s), "abc");
}
