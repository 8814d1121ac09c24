// Counted byte strings, on which resource paths are built.
//
// A valid string has data present, 0 <= length < capacity, and a NUL byte
// at data[length]; bytes before it may be anything, NUL included. No
// operation writes a log line: failures show only in the result.
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

// A new string holding text; null for null text or when memory runs out.
[[nodiscard]] bstring Bstring_fromCstr(const char* text);

// A new string with the same bytes as s; null for an invalid s or when
// memory runs out.
[[nodiscard]] bstring Bstring_copy(const BstringRecord* s);

// Releases s. 0, or -1 for an invalid s (nothing released).
int Bstring_destroy(bstring s);

// Makes capacity at least n. 0, or -1 (s unchanged).
int Bstring_reserve(bstring s, std::int32_t n);

// Appends t's bytes to s; t may be s itself or lie in s's buffer. 0 or -1.
int Bstring_append(bstring s, const BstringRecord* t);

// Appends NUL-terminated text (not inside s's buffer). 0 or -1; when memory
// runs out s keeps the bytes that fitted, with length equal to capacity.
int Bstring_appendCstr(bstring s, const char* text);

// Appends n bytes (not inside s's buffer). 0 or -1 (s unchanged).
int Bstring_appendBytes(bstring s, const void* bytes, std::int32_t n);

// Index of the first occurrence of pattern at or after pos, or -1.
[[nodiscard]] std::int32_t Bstring_find(const BstringRecord* s, std::int32_t pos,
                                        const BstringRecord* pattern);

// Replaces every occurrence of pattern at or after pos, left to right and
// without overlap. 0, or -1 (s unchanged); an empty pattern is an error.
int Bstring_findReplace(bstring s, const BstringRecord* pattern, const BstringRecord* replacement,
                        std::int32_t pos);

// length; 0 for a null s or a negative length.
[[nodiscard]] std::int32_t Bstring_length(const BstringRecord* s);

// data; null for a null s.
[[nodiscard]] char* Bstring_data(const BstringRecord* s);
