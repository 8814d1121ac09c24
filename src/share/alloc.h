// The heap as the game's own modules use it: the standard library's
// allocator, with a switch that tests use to make one allocation fail.
#pragma once

#include <cstddef>

// std::malloc, std::calloc and std::realloc, except that the call chosen by
// Util_FailAllocAt gives null (realloc then leaves the old block as it was).
[[nodiscard]] void* Util_Alloc(std::size_t size);
[[nodiscard]] void* Util_Calloc(std::size_t count, std::size_t size);
[[nodiscard]] void* Util_Realloc(void* block, std::size_t size);

// std::free.
void Util_Free(void* block);

// Makes count allocation calls fail, starting with the k-th from now on
// (1 = the next one); 0 or a negative k turns failing off. Counting restarts
// with each call.
void Util_FailAllocAt(long k, long count = 1);

// Number of allocation calls since the last Util_FailAllocAt.
[[nodiscard]] long Util_AllocCalls();
