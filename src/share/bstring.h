// Counted byte strings, on which resource paths are built.
//
// A valid string has data present, 0 <= length < capacity, and a NUL byte
// at data[length]; bytes before it may be anything, NUL included. No
// operation writes a log line: failures show only in the result, and an
// operation that fails leaves its strings as they were unless it says
// otherwise. Records and buffers come from Util_Alloc and friends.
#pragma once

#include <cstdint>

struct BstringRecord {
    std::int32_t capacity; // bytes allocated for data
    std::int32_t length;   // bytes in use
    char* data;            // the bytes, then a NUL at index length
};

using bstring = BstringRecord*;

// Capacity for n bytes: 8 below 8, else the smallest power of two above n,
// or n itself when that power does not fit a signed 32-bit integer.
[[nodiscard]] std::int32_t Bstring_capacityFor(std::int32_t n);

// A new string holding text, with capacity Bstring_capacityFor(length + 1)
// (8 for empty text); null for null text or when memory runs out.
[[nodiscard]] bstring Bstring_fromCstr(const char* text);

// A new string with the same bytes as s and capacity
// Bstring_capacityFor(length + 1), or exactly length + 1 when memory is
// short; null for a null s, absent data, a negative length or no memory.
[[nodiscard]] bstring Bstring_copy(const BstringRecord* s);

// Releases s. 0, or -1 for an invalid s (nothing released).
int Bstring_destroy(bstring s);

// Makes capacity at least n, normally Bstring_capacityFor(n); a buffer more
// than seven eighths full is resized, otherwise only the bytes in use move
// to a fresh one. 0 (also when capacity already exceeds n), or -1 for an
// invalid s, n not positive or no memory (s unchanged).
int Bstring_reserve(bstring s, std::int32_t n);

// Appends t's bytes to s; t may be s itself or lie in s's buffer. 0, or -1
// for invalid strings, a length overflow or no memory (s unchanged).
int Bstring_append(bstring s, const BstringRecord* t);

// Appends NUL-terminated text (not inside s's buffer). 0, or -1 for invalid
// arguments, or when memory runs out: s then keeps the bytes that fitted its
// spare capacity, with length equal to capacity and no NUL after them (it
// can still be destroyed).
int Bstring_appendCstr(bstring s, const char* text);

// Appends n bytes (not inside s's buffer). 0, or -1 (s unchanged).
int Bstring_appendBytes(bstring s, const void* bytes, std::int32_t n);

// Index of the first occurrence of pattern at or after pos, by exact byte
// comparison; an empty pattern is found at any pos from 0 to length. -1 when
// there is none or for invalid arguments.
[[nodiscard]] std::int32_t Bstring_find(const BstringRecord* s, std::int32_t pos,
                                        const BstringRecord* pattern);

// Replaces every occurrence of pattern at or after pos, left to right and
// without overlap; replaced text is not searched again. Pattern and
// replacement may lie in s's own buffer. A longer replacement first
// reserves length + growth + 1 even when nothing matches, so a full buffer
// grows then too. 0 (also when there is nothing to replace), or -1 for
// invalid arguments (an empty pattern is one) or no memory, with s
// unchanged.
int Bstring_findReplace(bstring s, const BstringRecord* pattern, const BstringRecord* replacement,
                        std::int32_t pos);

// length; 0 for a null s or a negative length.
[[nodiscard]] std::int32_t Bstring_length(const BstringRecord* s);

// data; null for a null s.
[[nodiscard]] char* Bstring_data(const BstringRecord* s);
