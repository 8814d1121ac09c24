// Random runs of the counted-string operations beside std::string, compared
// after every step.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>

#include "share/bstring.h"

namespace {
constexpr int POOL = 4;

// The capacity a reservation of n leaves behind when memory is plentiful.
int reserved(int capacity, int n) {
    return n < capacity ? capacity : std::max(capacity, Bstring_capacityFor(n));
}

// Every match of p from pos on replaced by r, left to right, as std::string
// sees it; an empty p matches nothing.
std::string replaced(std::string s, const std::string& p, const std::string& r, std::size_t pos) {
    for (auto i = pos; !p.empty() && (i = s.find(p, i)) != s.npos; i += r.size()) {
        s.replace(i, p.size(), r);
    }
    return s;
}
} // namespace

TEST(BstringModel, MatchesStdStringAfterEveryStep) {
    std::mt19937 rng(20240607);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    auto size = [](const std::string& t) { return static_cast<int>(t.size()); };
    // Few letters, so that patterns match often; NUL is one of them.
    auto word = [&](int most, int letters) {
        std::string w(pick(most + 1), 'a');
        std::generate(w.begin(), w.end(), [&] { return "abc\0"[pick(letters)]; });
        return w;
    };
    bstring s[POOL] = {Bstring_fromCstr(""), Bstring_fromCstr(""), Bstring_fromCstr(""),
                       Bstring_fromCstr("")};
    std::string model[POOL];
    int capacity[POOL] = {8, 8, 8, 8};
    for (int step = 0; step < 4000; ++step) {
        const int i = pick(POOL), j = pick(POOL), op = pick(7);
        std::string& m = model[i];
        int& cap = capacity[i];
        // Two texts for the step (the pattern is the shorter); a third of
        // them are up to 8 bytes of the target itself, read in place, short
        // enough to recur in it.
        std::string w[2];
        BstringRecord t[2];
        for (int k = 0; k < 2; ++k) {
            const int from = pick(size(m) + 1), count = pick(std::min(size(m) - from, 8) + 1);
            const bool own = pick(3) == 0;
            w[k] = own ? m.substr(from, count) : word(3 + 3 * k, 4);
            t[k] = {size(w[k]) + 1, size(w[k]), own ? s[i]->data + from : w[k].data()};
        }
        int rc = 0, want = 0;
        if (op < 2 || m.size() > 2000) { // a new string: from text, or a copy of another
            m = op == 1 ? model[j] : word(20, 3);
            bstring made = op == 1 ? Bstring_copy(s[j]) : Bstring_fromCstr(m.c_str());
            Bstring_destroy(std::exchange(s[i], made));
            cap = Bstring_capacityFor(size(m) + 1);
        } else if (op < 4) { // another string (this one, perhaps), a text, or NUL-terminated text
            const bool other = op == 2 && pick(2) == 0, cstr = op == 3;
            const std::string more = other ? model[j] : cstr ? word(20, 3) : w[1];
            rc = cstr ? Bstring_appendCstr(s[i], more.c_str())
                      : Bstring_append(s[i], other ? s[j] : &t[1]);
            m += more; // appendCstr of text that fits with its NUL leaves the capacity alone
            cap = !cstr || cap < size(m) + 1 ? reserved(cap, size(m) + 1) : cap;
        } else if (op == 4) {
            const int n = 1 + pick(300);
            rc = Bstring_reserve(s[i], n);
            cap = reserved(cap, n);
        } else if (op == 5) {
            const int pos = pick(size(m) + 3) - 1;
            rc = Bstring_find(s[i], pos, &t[0]);
            want = pos < 0 ? -1 : static_cast<int>(m.find(w[0], pos)); // npos gives -1
        } else {
            const int pos = pick(size(m) + 2);
            rc = Bstring_findReplace(s[i], &t[0], &t[1], pos);
            want = w[0].empty() ? -1 : 0;
            const std::string next = replaced(m, w[0], w[1], pos);
            // A longer replacement reserves for the result even without a match.
            const bool searched = !w[0].empty() && pos <= size(m) - size(w[0]);
            cap = searched && w[1].size() > w[0].size() ? reserved(cap, size(next) + 1) : cap;
            m = next;
        }
        ASSERT_EQ(rc, want) << "step " << step << " op " << op;
        for (int k = 0; k < POOL; ++k) {
            ASSERT_EQ(std::string(s[k]->data, s[k]->length + 1), model[k] + '\0') << step;
            ASSERT_EQ(s[k]->capacity, capacity[k]) << step;
        }
    }
    for (bstring left : s) {
        Bstring_destroy(left);
    }
}
