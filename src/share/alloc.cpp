#include "share/alloc.h"

#include <cstdlib>

namespace {
long gFailAt = 0;
long gFailCount = 0;
long gCalls = 0;

// Counts one allocation call and says whether it is one chosen to fail.
bool chosenToFail() {
    ++gCalls;
    return gFailAt > 0 && gCalls >= gFailAt && gCalls - gFailAt < gFailCount;
}
} // namespace

void* Util_Alloc(std::size_t size) {
    return chosenToFail() ? nullptr : std::malloc(size);
}

void* Util_Calloc(std::size_t count, std::size_t size) {
    return chosenToFail() ? nullptr : std::calloc(count, size);
}

void* Util_Realloc(void* block, std::size_t size) {
    return chosenToFail() ? nullptr : std::realloc(block, size);
}

void Util_Free(void* block) {
    std::free(block);
}

void Util_FailAllocAt(long k, long count) {
    gFailAt = k;
    gFailCount = count;
    gCalls = 0;
}

long Util_AllocCalls() {
    return gCalls;
}
