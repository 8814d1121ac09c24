// The counted strings: the capacity rule, and the edge cases of each
// operation, run with its k-th allocation failing for every k it reaches,
// then with none failing (the sanitizers' leak check covers what a failure
// releases).
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "share/alloc.h"
#include "share/bstring.h"

namespace {
using Op = int (*)(bstring);

// A pattern or replacement: a text outside any string, or n bytes of s's
// own buffer from index from on.
struct Span : BstringRecord {
    Span(char* at, int n) : BstringRecord{n + 1, n, at} {}
    Span(const char* t) : Span(const_cast<char*>(t), int(std::strlen(t))) {}
    Span(bstring s, int from, int n) : Span(s->data + from, n) {}
};

int replace(bstring s, Span pattern, Span replacement, int pos = 0) {
    return Bstring_findReplace(s, &pattern, &replacement, pos);
}

// A new string made inside an op, compared with the op's target and released.
int made(bstring fresh, const bstring source) {
    const bool same = fresh != nullptr && fresh->length == source->length &&
                      std::string(fresh->data) == source->data && fresh->capacity > fresh->length;
    Bstring_destroy(fresh);
    return same ? 0 : -1;
}

// Runs op on a fresh string holding start, with the k-th allocation call
// failing, for k = 1, 2, ... until op makes fewer than k calls. One letter
// per k, the last for the run in which nothing failed: F when op gave -1 and
// left the string exactly as it was; S when it gave 0, the bytes after and
// the usual capacity; s when it did so with the smaller capacity of a
// fallback.
std::string outcomes(const std::string& start, Op op, const std::string& after, int capacity) {
    std::string seen;
    bool reached = true;
    for (long k = 1; reached; ++k) {
        bstring s = Bstring_fromCstr(start.c_str());
        const BstringRecord before = *s;
        Util_FailAllocAt(k);
        const int rc = op(s);
        reached = Util_AllocCalls() >= k;
        Util_FailAllocAt(0);
        const std::string now(s->data, s->length);
        const bool kept = now == start && s->capacity == before.capacity && s->data == before.data;
        const bool done = rc == 0 && now == after && s->data[s->length] == '\0';
        seen += rc == -1 && kept ? 'F' : !done ? '?' : s->capacity == capacity ? 'S' : 's';
        Bstring_destroy(s);
    }
    return seen;
}
} // namespace

TEST(BstringAlloc, EdgeCasesGiveTheirResultOrFailCleanlyAtEveryAllocation) {
    const Op xToXx = [](bstring s) { return replace(s, "x", "xx"); };
    static BstringRecord hollow{8, 0, nullptr}; // a record without data
    const struct {
        Op op;
        std::string start, after, want;
        int capacity;
    } cases[] = {
        {[](bstring s) { return made(Bstring_fromCstr("hello"), s); }, "hello", "hello", "FFS", 8},
        {[](bstring s) { return made(Bstring_copy(s), s); }, "hello", "hello", "FSS", 8},
        // A buffer at most seven eighths full moves to a fresh one, or, when
        // that cannot be had, is resized; a fuller one is resized, or, when
        // that fails, grown to just the size asked for.
        {[](bstring s) { return Bstring_reserve(s, 100); }, "hello", "hello", "SS", 128},
        {[](bstring s) { return Bstring_reserve(s, 20); }, "abcdefghijklmn", "abcdefghijklmn", "SS",
         32},
        {[](bstring s) { return Bstring_appendCstr(s, "o") + Bstring_reserve(s, 20); },
         "abcdefghijklmn", "abcdefghijklmno", "sS", 32},
        // Appending a string to itself, with room and growing.
        {[](bstring s) { return Bstring_append(s, s); }, "ab", "abab", "S", 8},
        {[](bstring s) { return Bstring_append(s, s); }, "abcd", "abcdabcd", "FSSS", 16},
        // Text with its NUL exactly filling the spare bytes, and one byte more:
        // the full buffer then falls back to exactly the room needed.
        {[](bstring s) { return Bstring_appendCstr(s, "defg"); }, "abc", "abcdefg", "S", 8},
        {[](bstring s) { return Bstring_appendCstr(s, "defgh"); }, "abc", "abcdefgh", "sS", 16},
        {[](bstring s) { return replace(s, "bc", ""); }, "abcabc", "aa", "S", 8},
        // Replaced text is not searched again, even where it overlaps, nor
        // counted twice when the room for a longer text is worked out.
        {[](bstring s) { return replace(s, "aa", "ba"); }, "aaaa", "baba", "S", 8},
        {[](bstring s) { return replace(s, "aa", "xyz"); }, "aaaa", "xyzxyz", "S", 8},
        // Text that would fill the buffer to its last byte grows it.
        {[](bstring s) {
             const Span text("defg");
             return Bstring_append(s, &text);
         },
         "abc", "abcdefg", "SS", 16},
        // Pattern or replacement in s's own bytes: the first replacement
        // overwrites the pattern "ab"; the buffer holding "XY" moves.
        {[](bstring s) { return replace(s, Span(s, 0, 2), "cd"); }, "abab", "cdcd", "FSS", 8},
        {[](bstring s) { return replace(s, "a", Span(s, 0, 2), 2); }, "XYaaa", "XYXYXYXY", "FSSS",
         16},
        {[](bstring s) { return replace(s, Span(s, 0, 2), Span(s, 1, 3)); }, "abab", "babbab",
         "FSFSS", 8},
        // 31 positions fit the fixed storage; the 32nd and 64th move the list.
        {xToXx, std::string(31, 'x'), std::string(62, 'x'), "S", 64},
        {xToXx, std::string(64, 'x'), std::string(128, 'x'), "FFSS", 256},
        // Invalid arguments change nothing.
        {[](bstring) { return Bstring_destroy(nullptr); }, "abc", "", "F", 8},
        {[](bstring s) { return made(Bstring_copy(&hollow), s); }, "abc", "", "F", 8},
        {[](bstring s) { return Bstring_append(s, &hollow); }, "abc", "", "F", 8},
        {[](bstring s) { return Bstring_reserve(s, 0); }, "abc", "", "F", 8},
        {[](bstring s) { return Bstring_appendCstr(s, nullptr); }, "abc", "", "F", 8},
        {[](bstring s) { return Bstring_appendBytes(s, "x", -1); }, "abc", "", "F", 8},
        {[](bstring s) { return replace(s, "b", "x", -1); }, "abc", "", "F", 8},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(outcomes(c.start, c.op, c.after, c.capacity), c.want) << c.start;
    }
}

TEST(Bstring, CapacityFollowsTheRule) {
    constexpr int G = 1 << 30; // the largest power of two a capacity can be
    const std::pair<int, int> rule[] = {{-1, 8},    {7, 8},     {8, 16}, {16, 32},
                                        {100, 128}, {G - 1, G}, {G, G},  {INT_MAX, INT_MAX}};
    for (auto [n, want] : rule) {
        EXPECT_EQ(Bstring_capacityFor(n), want) << n;
    }
}

// The search's edges, which no path lookup reaches: an empty pattern is
// found where the search starts, even at the very end; a start outside the
// text finds nothing, and the last place a pattern fits is searched.
TEST(Bstring, FindStopsAtTheEdgesOfTheText) {
    const Span text("abcab"), empty(""), ab("ab"), abx("abx");
    const std::pair<int, std::pair<const Span*, int>> rows[] = {
        {5, {&empty, 5}}, {-1, {&empty, 6}}, {-1, {&ab, -1}}, {3, {&ab, 1}}, {-1, {&abx, 3}}};
    for (const auto& [want, probe] : rows) {
        EXPECT_EQ(Bstring_find(&text, probe.second, probe.first), want) << probe.second;
    }
}
