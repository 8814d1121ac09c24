#include "share/bstring.h"

#include <cstddef>
#include <cstring>
#include <limits>

#include "share/alloc.h"

namespace {
constexpr std::int64_t MAX_LENGTH = std::numeric_limits<std::int32_t>::max();

// Match positions that findReplace keeps without touching the heap.
constexpr std::int32_t FIXED_POSITIONS = 32;

// The tests a target string must pass before it is changed. Capacity may
// equal length: an appendCstr that ran out of memory leaves such a string.
bool isUsable(const BstringRecord* s) {
    return s != nullptr && s->data != nullptr && s->length >= 0 && s->capacity > 0 &&
           s->capacity >= s->length;
}

// Where p lies relative to the start of s's buffer. The two may belong to
// different blocks, so the addresses are compared as plain numbers.
std::int64_t offsetIn(const BstringRecord* s, const char* p) {
    return static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(p) -
                                     reinterpret_cast<std::uintptr_t>(s->data));
}

bstring newRecord() {
    return static_cast<bstring>(Util_Alloc(sizeof(BstringRecord)));
}

// Match positions: the first ones in fixed storage, more on the heap.
class PositionList {
  public:
    PositionList() = default;
    PositionList(const PositionList&) = delete;
    PositionList& operator=(const PositionList&) = delete;
    ~PositionList() {
        if (at_ != fixed_) {
            Util_Free(at_);
        }
    }

    // Stores a position, always keeping one entry free for the end mark.
    [[nodiscard]] bool push(std::int32_t position) {
        if (count_ >= room_ - 1 && !grow()) {
            return false;
        }
        at_[count_++] = position;
        return true;
    }
    void markEnd(std::int32_t end) { at_[count_] = end; }
    [[nodiscard]] std::int32_t count() const { return count_; }
    [[nodiscard]] std::int32_t operator[](std::int32_t i) const { return at_[i]; }

  private:
    bool grow() {
        const std::int64_t room = 2 * static_cast<std::int64_t>(room_);
        if (room > MAX_LENGTH ||
            static_cast<std::uint64_t>(room) > SIZE_MAX / sizeof(std::int32_t)) {
            return false;
        }
        const std::size_t bytes = static_cast<std::size_t>(room) * sizeof(std::int32_t);
        std::int32_t* moved = nullptr;
        if (at_ == fixed_) {
            moved = static_cast<std::int32_t*>(Util_Alloc(bytes));
            if (moved != nullptr) {
                std::memcpy(moved, fixed_, sizeof fixed_);
            }
        } else {
            moved = static_cast<std::int32_t*>(Util_Realloc(at_, bytes));
        }
        if (moved == nullptr) {
            return false;
        }
        at_ = moved;
        room_ = static_cast<std::int32_t>(room);
        return true;
    }

    std::int32_t fixed_[FIXED_POSITIONS] = {};
    std::int32_t* at_ = fixed_;
    std::int32_t room_ = FIXED_POSITIONS;
    std::int32_t count_ = 0;
};

// Pattern and replacement of equal length: each match is overwritten.
void replaceInPlace(bstring s, const BstringRecord* pattern, const BstringRecord* replacement,
                    std::int32_t pos) {
    for (std::int32_t i = Bstring_find(s, pos, pattern); i >= 0;
         i = Bstring_find(s, i + pattern->length, pattern)) {
        std::memmove(s->data + i, replacement->data, static_cast<std::size_t>(replacement->length));
    }
}

// A shorter replacement: the string closes up behind each match as the
// search goes on. The bytes still to be searched are never moved before
// they have been searched, so nothing is allocated.
void replaceShrinking(bstring s, const BstringRecord* pattern, const BstringRecord* replacement,
                      std::int32_t pos) {
    std::int32_t removed = 0;
    std::int32_t kept = -1; // end of the previous match; -1 before the first
    for (std::int32_t i = Bstring_find(s, pos, pattern); i >= 0;
         i = Bstring_find(s, i + pattern->length, pattern)) {
        if (kept >= 0) {
            std::memmove(s->data + kept - removed, s->data + kept,
                         static_cast<std::size_t>(i - kept));
        }
        std::memmove(s->data + i - removed, replacement->data,
                     static_cast<std::size_t>(replacement->length));
        removed += pattern->length - replacement->length;
        kept = i + pattern->length;
    }
    if (kept < 0) {
        return;
    }
    std::memmove(s->data + kept - removed, s->data + kept,
                 static_cast<std::size_t>(s->length - kept));
    s->length -= removed;
    s->data[s->length] = '\0';
}

// A longer replacement: every match is found first, the buffer grows once,
// and the pieces move right from the back so none is overwritten early.
int replaceGrowing(bstring s, const BstringRecord* pattern, const BstringRecord* replacement,
                   std::int32_t pos) {
    const std::int32_t step = replacement->length - pattern->length;
    PositionList matches;
    std::int64_t growth = 0;
    for (std::int32_t i = Bstring_find(s, pos, pattern); i >= 0;
         i = Bstring_find(s, i + pattern->length, pattern)) {
        growth += step;
        if (growth > MAX_LENGTH || !matches.push(i)) {
            return -1;
        }
    }
    const std::int64_t newLength = s->length + growth;
    if (newLength >= MAX_LENGTH) {
        return -1;
    }
    matches.markEnd(s->length);
    if (Bstring_reserve(s, static_cast<std::int32_t>(newLength + 1)) != 0) {
        return -1;
    }
    for (std::int32_t k = matches.count() - 1; k >= 0; --k) {
        const std::int32_t from = matches[k] + pattern->length;
        const std::int32_t to = from + (k + 1) * step;
        std::memmove(s->data + to, s->data + from, static_cast<std::size_t>(matches[k + 1] - from));
        std::memcpy(s->data + to - replacement->length, replacement->data,
                    static_cast<std::size_t>(replacement->length));
    }
    s->length = static_cast<std::int32_t>(newLength);
    s->data[s->length] = '\0';
    return 0;
}

// Whether bytes t that start at offset d of s's buffer would be written
// over while a replacement from pos still reads them.
bool overwrittenWhileRead(const BstringRecord* s, const BstringRecord* t, std::int32_t pos) {
    const std::int64_t d = offsetIn(s, t->data);
    return static_cast<std::int64_t>(pos) - t->length < d && d < s->length;
}
} // namespace

std::int32_t Bstring_capacityFor(std::int32_t n) {
    if (n < 8) {
        return 8;
    }
    if (n >= (1 << 30)) {
        return n; // the next power of two would not fit
    }
    auto bits = static_cast<std::uint32_t>(n);
    bits |= bits >> 1;
    bits |= bits >> 2;
    bits |= bits >> 4;
    bits |= bits >> 8;
    bits |= bits >> 16;
    return static_cast<std::int32_t>(bits + 1);
}

bstring Bstring_fromCstr(const char* text) {
    if (text == nullptr) {
        return nullptr;
    }
    const std::size_t measured = std::strlen(text);
    if (measured >= static_cast<std::size_t>(MAX_LENGTH)) {
        return nullptr;
    }
    const auto length = static_cast<std::int32_t>(measured);
    const std::int32_t capacity = Bstring_capacityFor(length == 0 ? 2 : length + 1);
    if (capacity <= length) {
        return nullptr;
    }
    bstring s = newRecord();
    if (s == nullptr) {
        return nullptr;
    }
    s->data = static_cast<char*>(Util_Alloc(static_cast<std::size_t>(capacity)));
    if (s->data == nullptr) {
        Util_Free(s);
        return nullptr;
    }
    s->capacity = capacity;
    s->length = length;
    std::memcpy(s->data, text, measured + 1);
    return s;
}

bstring Bstring_copy(const BstringRecord* s) {
    if (s == nullptr || s->length < 0 || s->data == nullptr || s->length >= MAX_LENGTH) {
        return nullptr;
    }
    bstring copy = newRecord();
    if (copy == nullptr) {
        return nullptr;
    }
    // The roomy size first; when memory is short, just enough.
    std::int32_t capacity = Bstring_capacityFor(s->length + 1);
    copy->data = static_cast<char*>(Util_Alloc(static_cast<std::size_t>(capacity)));
    if (copy->data == nullptr) {
        capacity = s->length + 1;
        copy->data = static_cast<char*>(Util_Alloc(static_cast<std::size_t>(capacity)));
    }
    if (copy->data == nullptr) {
        Util_Free(copy);
        return nullptr;
    }
    copy->capacity = capacity;
    copy->length = s->length;
    if (s->length > 0) {
        std::memcpy(copy->data, s->data, static_cast<std::size_t>(s->length));
    }
    copy->data[s->length] = '\0';
    return copy;
}

int Bstring_destroy(bstring s) {
    if (!isUsable(s)) {
        return -1;
    }
    Util_Free(s->data);
    Util_Free(s);
    return 0;
}

int Bstring_reserve(bstring s, std::int32_t n) {
    if (!isUsable(s) || n <= 0) {
        return -1;
    }
    if (n < s->capacity) {
        return 0;
    }
    std::int32_t target = Bstring_capacityFor(n);
    if (target <= s->capacity) {
        return 0;
    }
    char* buffer = nullptr;
    // A buffer at most seven eighths full moves only its bytes in use, so
    // spare capacity is never copied.
    if (7 * static_cast<std::int64_t>(s->capacity) >= 8 * static_cast<std::int64_t>(s->length)) {
        buffer = static_cast<char*>(Util_Alloc(static_cast<std::size_t>(target)));
        if (buffer != nullptr) {
            if (s->length > 0) {
                std::memcpy(buffer, s->data, static_cast<std::size_t>(s->length));
            }
            Util_Free(s->data);
        }
    }
    if (buffer == nullptr) {
        buffer = static_cast<char*>(Util_Realloc(s->data, static_cast<std::size_t>(target)));
        if (buffer == nullptr) {
            target = n;
            buffer = static_cast<char*>(Util_Realloc(s->data, static_cast<std::size_t>(n)));
        }
        if (buffer == nullptr) {
            return -1;
        }
    }
    s->data = buffer;
    s->capacity = target;
    if (s->length < target) {
        s->data[s->length] = '\0';
    }
    return 0;
}

int Bstring_append(bstring s, const BstringRecord* t) {
    if (s == nullptr || t == nullptr || s->data == nullptr || t->data == nullptr || s->length < 0 ||
        s->capacity < s->length || t->length < 0) {
        return -1;
    }
    const std::int64_t sum = static_cast<std::int64_t>(s->length) + t->length;
    if (sum >= MAX_LENGTH) {
        return -1; // neither the length nor room for its NUL would fit
    }
    const std::int32_t added = t->length;
    const char* bytes = t->data;
    bstring own = nullptr;
    if (s->capacity <= sum + 1) {
        // Growing may release the buffer that t's bytes live in.
        const std::int64_t at = offsetIn(s, t->data);
        if (at >= 0 && at < s->capacity) {
            own = Bstring_copy(t);
            if (own == nullptr) {
                return -1;
            }
            bytes = own->data;
        }
        if (Bstring_reserve(s, static_cast<std::int32_t>(sum + 1)) != 0) {
            if (own != nullptr) {
                Bstring_destroy(own);
            }
            return -1;
        }
    }
    std::memmove(s->data + s->length, bytes, static_cast<std::size_t>(added));
    s->length = static_cast<std::int32_t>(sum);
    s->data[s->length] = '\0';
    if (own != nullptr) {
        Bstring_destroy(own);
    }
    return 0;
}

int Bstring_appendCstr(bstring s, const char* text) {
    if (!isUsable(s) || text == nullptr) {
        return -1;
    }
    // Copy straight into the spare bytes; only what does not fit is measured.
    const std::int32_t spare = s->capacity - s->length;
    char* end = s->data + s->length;
    for (std::int32_t i = 0; i < spare; ++i) {
        end[i] = text[i];
        if (text[i] == '\0') {
            s->length += i;
            return 0;
        }
    }
    s->length = s->capacity;
    const char* rest = text + spare;
    const std::size_t restLength = std::strlen(rest);
    if (restLength >= static_cast<std::size_t>(MAX_LENGTH)) {
        return -1;
    }
    return Bstring_appendBytes(s, rest, static_cast<std::int32_t>(restLength));
}

int Bstring_appendBytes(bstring s, const void* bytes, std::int32_t n) {
    if (!isUsable(s) || bytes == nullptr || n < 0) {
        return -1;
    }
    const std::int64_t sum = static_cast<std::int64_t>(s->length) + n;
    if (sum >= MAX_LENGTH) {
        return -1;
    }
    if (s->capacity <= sum && Bstring_reserve(s, static_cast<std::int32_t>(sum + 1)) != 0) {
        return -1;
    }
    std::memcpy(s->data + s->length, bytes, static_cast<std::size_t>(n));
    s->length = static_cast<std::int32_t>(sum);
    s->data[s->length] = '\0';
    return 0;
}

std::int32_t Bstring_find(const BstringRecord* s, std::int32_t pos, const BstringRecord* pattern) {
    if (s == nullptr || pattern == nullptr || s->data == nullptr || pattern->data == nullptr ||
        s->length < 0 || pattern->length < 0) {
        return -1;
    }
    if (pos == s->length) {
        return pattern->length == 0 ? pos : -1;
    }
    if (pos > s->length || pos < 0) {
        return -1;
    }
    if (pattern->length == 0) {
        return pos;
    }
    const std::int32_t last = s->length - pattern->length; // last index with room for it
    const auto size = static_cast<std::size_t>(pattern->length);
    for (std::int32_t i = pos; i <= last; ++i) {
        if (s->data[i] == pattern->data[0] && std::memcmp(s->data + i, pattern->data, size) == 0) {
            return i;
        }
    }
    return -1;
}

int Bstring_findReplace(bstring s, const BstringRecord* pattern, const BstringRecord* replacement,
                        std::int32_t pos) {
    if (s == nullptr || pattern == nullptr || replacement == nullptr || s->data == nullptr ||
        pattern->data == nullptr || replacement->data == nullptr || pos < 0 ||
        pattern->length <= 0 || s->capacity <= 0 || s->length > s->capacity || s->length < 0 ||
        replacement->length < 0) {
        return -1;
    }
    if (pos > s->length - pattern->length) {
        return 0;
    }
    // Text taken from s's own bytes gets a private copy when the work would
    // overwrite it before it is read for the last time. A growing string may
    // also move to a new buffer, so a replacement anywhere in the old one is
    // copied too.
    const bool grows = replacement->length > pattern->length;
    bstring ownPattern = nullptr;
    bstring ownReplacement = nullptr;
    if (overwrittenWhileRead(s, pattern, pos)) {
        ownPattern = Bstring_copy(pattern);
        if (ownPattern == nullptr) {
            return -1;
        }
    }
    const std::int64_t at = offsetIn(s, replacement->data);
    if (overwrittenWhileRead(s, replacement, pos) || (grows && at >= 0 && at < s->capacity)) {
        ownReplacement = Bstring_copy(replacement);
        if (ownReplacement == nullptr) {
            if (ownPattern != nullptr) {
                Bstring_destroy(ownPattern);
            }
            return -1;
        }
    }
    const BstringRecord* p = ownPattern != nullptr ? ownPattern : pattern;
    const BstringRecord* r = ownReplacement != nullptr ? ownReplacement : replacement;
    int result = 0;
    if (r->length == p->length) {
        replaceInPlace(s, p, r, pos);
    } else if (r->length < p->length) {
        replaceShrinking(s, p, r, pos);
    } else {
        result = replaceGrowing(s, p, r, pos);
    }
    if (ownPattern != nullptr) {
        Bstring_destroy(ownPattern);
    }
    if (ownReplacement != nullptr) {
        Bstring_destroy(ownReplacement);
    }
    return result;
}

std::int32_t Bstring_length(const BstringRecord* s) {
    return s == nullptr || s->length < 0 ? 0 : s->length;
}

char* Bstring_data(const BstringRecord* s) {
    return s == nullptr ? nullptr : s->data;
}
