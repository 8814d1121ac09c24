// Random runs of the counted-string operations beside std::string, compared
// after every step.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "share/bstring.h"

namespace {
constexpr int STEPS = 4000;
constexpr int POOL = 4;

// The capacity a reservation of n leaves behind when memory is plentiful.
int reserved(int capacity, int n) {
    return n < capacity ? capacity : std::max(capacity, Bstring_capacityFor(n));
}

// Every match of p from pos on replaced by r, left to right, as std::string sees it.
std::string replaced(const std::string& s, const std::string& p, const std::string& r,
                     std::size_t pos) {
    if (pos + p.size() > s.size()) {
        return s;
    }
    std::string out = s.substr(0, pos);
    std::size_t at = pos;
    for (std::size_t i; (i = s.find(p, at)) != std::string::npos; at = i + p.size()) {
        out += s.substr(at, i - at) + r;
    }
    return out + s.substr(at);
}
} // namespace

TEST(BstringModel, MatchesStdStringAfterEveryStep) {
    std::mt19937 rng(20240607);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    // Few letters, so that patterns match often; NUL is one of them.
    auto word = [&](int most, int letters) {
        std::string w(static_cast<std::size_t>(pick(most + 1)), 'a');
        for (char& c : w) {
            c = "abc\0"[pick(letters)];
        }
        return w;
    };
    auto size = [](const std::string& t) { return static_cast<int>(t.size()); };
    bstring s[POOL];
    std::string model[POOL];
    int capacity[POOL];
    for (int i = 0; i < POOL; ++i) {
        s[i] = Bstring_fromCstr("");
        capacity[i] = 8;
    }
    for (int step = 0; step < STEPS; ++step) {
        const int i = pick(POOL), j = pick(POOL), op = pick(7);
        std::string& m = model[i];
        // A third of the texts are bytes of the target itself, read in place.
        const int from = pick(size(m) + 1), count = pick(size(m) - from + 1);
        BstringRecord own{count + 1, count, s[i]->data + from};
        std::vector<bstring> made;
        auto source = [&](int most, std::string& seen) -> const BstringRecord* {
            if (pick(3) == 0) {
                seen = m.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(count));
                return &own;
            }
            seen = word(most, 4);
            made.push_back(Bstring_fromCstr(""));
            EXPECT_EQ(Bstring_appendBytes(made.back(), seen.data(), size(seen)), 0);
            return made.back();
        };
        std::string seen, seenToo;
        int rc = 0, want = 0;
        if (op == 0 || m.size() > 2000) { // start afresh
            m = word(20, 3);
            Bstring_destroy(s[i]);
            s[i] = Bstring_fromCstr(m.c_str());
            capacity[i] = Bstring_capacityFor(m.empty() ? 2 : size(m) + 1);
        } else if (op == 1) { // a copy of another string
            bstring copy = Bstring_copy(s[j]);
            Bstring_destroy(s[i]);
            s[i] = copy;
            m = model[j];
            capacity[i] = Bstring_capacityFor(size(m) + 1);
        } else if (op == 2) { // another string, this one, or bytes of it
            const BstringRecord* tail = pick(3) == 0 ? s[j] : source(8, seen);
            rc = Bstring_append(s[i], tail);
            m += tail == s[j] ? model[j] : seen;
            capacity[i] =
                capacity[i] <= size(m) + 1 ? reserved(capacity[i], size(m) + 1) : capacity[i];
        } else if (op == 3) {
            const std::string w = word(20, 3);
            rc = Bstring_appendCstr(s[i], w.c_str());
            m += w; // text that fits with its NUL leaves the capacity alone
            capacity[i] =
                capacity[i] < size(m) + 1 ? reserved(capacity[i], size(m) + 1) : capacity[i];
        } else if (op == 4) {
            const int n = 1 + pick(300);
            rc = Bstring_reserve(s[i], n);
            capacity[i] = reserved(capacity[i], n);
        } else if (op == 5) {
            const int pos = pick(size(m) + 3) - 1;
            rc = Bstring_find(s[i], pos, source(3, seen));
            const std::size_t at =
                pos < 0 ? std::string::npos : m.find(seen, static_cast<std::size_t>(pos));
            want = at == std::string::npos ? -1 : static_cast<int>(at);
        } else {
            const BstringRecord* pattern = source(3, seen);
            const int pos = pick(size(m) + 2);
            rc = Bstring_findReplace(s[i], pattern, source(5, seenToo), pos);
            want = seen.empty() ? -1 : 0;
            const std::string next =
                seen.empty() ? m : replaced(m, seen, seenToo, static_cast<std::size_t>(pos));
            capacity[i] =
                next.size() > m.size() ? reserved(capacity[i], size(next) + 1) : capacity[i];
            m = next;
        }
        for (bstring t : made) {
            Bstring_destroy(t);
        }
        ASSERT_EQ(rc, want) << "step " << step << " op " << op;
        for (int k = 0; k < POOL; ++k) {
            ASSERT_EQ(std::string(s[k]->data, static_cast<std::size_t>(s[k]->length)), model[k])
                << step;
            ASSERT_TRUE(s[k]->data[s[k]->length] == '\0' && s[k]->capacity == capacity[k]) << step;
        }
    }
    for (bstring left : s) {
        Bstring_destroy(left);
    }
}
