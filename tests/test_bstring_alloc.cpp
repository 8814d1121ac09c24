// Each counted-string operation with its k-th allocation failing, for every
// k it reaches. The sanitizers' leak check covers what a failure releases.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "share/alloc.h"
#include "share/bstring.h"

namespace {
using Op = std::function<int(bstring)>;

// Runs op on a fresh string holding start, with the k-th allocation call
// failing, for k = 1, 2, ... until op makes fewer than k calls (and must then
// give 0 and the bytes after). One letter per k: F when op gave -1 and left
// the string exactly as it was, S when a fallback gave 0 and the bytes after.
std::string outcomes(const std::string& start, const Op& op, const std::string& after) {
    std::string seen;
    for (long k = 1; k < 50; ++k) {
        bstring s = Bstring_fromCstr(start.c_str());
        const BstringRecord before = *s;
        Util_FailAllocAt(k);
        const int rc = op(s);
        const bool reached = Util_AllocCalls() >= k;
        Util_FailAllocAt(0);
        const std::string now(s->data, static_cast<std::size_t>(s->length));
        const bool kept = now == start && s->capacity == before.capacity && s->data == before.data;
        const bool done = rc == 0 && now == after && s->data[s->length] == '\0';
        Bstring_destroy(s);
        if (!reached) {
            EXPECT_TRUE(done) << start;
            return seen;
        }
        seen += rc == -1 && kept ? 'F' : done ? 'S' : '?';
    }
    return seen;
}

// A new string made inside op, checked and released there.
int made(bstring fresh, const bstring source) {
    const bool same = fresh != nullptr && fresh->length == source->length &&
                      std::string(fresh->data) == source->data && fresh->capacity > fresh->length;
    Bstring_destroy(fresh);
    return same ? 0 : -1;
}
} // namespace

TEST(BstringAlloc, EveryFailureGivesTheFailureResultOrAFallback) {
    std::string yz[65];
    for (int n = 1; n < 65; ++n) {
        yz[n] = yz[n - 1] + "yz";
    }
    bstring x = Bstring_fromCstr("x"), longer = Bstring_fromCstr("yz");
    auto xToYz = [=](bstring s) { return Bstring_findReplace(s, x, longer, 0); };
    const struct {
        const char* name;
        std::string start;
        Op op;
        std::string after, want;
    } cases[] = {
        {"fromCstr", "hello", [](bstring s) { return made(Bstring_fromCstr("hello"), s); }, "hello",
         "FF"},
        {"copy", "hello", [](bstring s) { return made(Bstring_copy(s), s); }, "hello", "FS"},
        // A fallback from a fresh buffer resizes to the full target; one from
        // a failed resize takes exactly what was asked for.
        {"reserve, fresh buffer", "hello",
         [](bstring s) { return Bstring_reserve(s, 100) == 0 && s->capacity == 128 ? 0 : -1; },
         "hello", "S"},
        {"reserve, resized buffer", "abcdefgh",
         [](bstring s) {
             const bool full = Bstring_appendCstr(s, "ijklmno") == 0;
             return full && Bstring_reserve(s, 17) == 0 &&
                            s->capacity == (Util_AllocCalls() > 1 ? 17 : 32)
                        ? 0
                        : -1;
         },
         "abcdefghijklmno", "S"},
        {"append to itself", "abcd", [](bstring s) { return Bstring_append(s, s); }, "abcdabcd",
         "FSS"},
        {"appendCstr", "abc", [](bstring s) { return Bstring_appendCstr(s, "defghij"); },
         "abcdefghij", "S"},
        // 31 positions fit the fixed storage; the 32nd and 64th move the list.
        {"31 matches", std::string(31, 'x'), xToYz, yz[31], ""},
        {"32 matches", std::string(32, 'x'), xToYz, yz[32], "FS"},
        {"64 matches", std::string(64, 'x'), xToYz, yz[64], "FFS"},
        {"own bytes", "abab",
         [](bstring s) {
             const BstringRecord pattern{3, 2, s->data}, replacement{4, 3, s->data + 1};
             return Bstring_findReplace(s, &pattern, &replacement, 0);
         },
         "babbab", "FSFS"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(outcomes(c.start, c.op, c.after), c.want) << c.name;
    }
    Bstring_destroy(x);
    Bstring_destroy(longer);
}
