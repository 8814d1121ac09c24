#include "man/man.h"
#include "share/alloc.h"
#include "share/log.h"
#include "share/share_utils.h"

Man* gMen = nullptr;
std::int32_t gMaxMen = 100;
std::int32_t gAllocHead = 0;
std::int32_t gAliveCount = 0;
const SDL_Rect gBounds = {1, 1, 598, 398};

namespace {
constexpr double DIAG_FACTOR = 0.707;

// Frees the lists of every man handed out and the array itself, and starts
// the counters again, so they never describe men who are gone.
void releaseMen() {
    if (gMen != nullptr) {
        for (std::int32_t id = 0; id < gAllocHead; ++id) {
            Util_Free(gMen[id].localList);
            gMen[id].localList = nullptr;
        }
        Util_Free(gMen);
        gMen = nullptr;
    }
    gAllocHead = 0;
    gAliveCount = 0;
}
} // namespace

int Man_init() {
    if (gMen != nullptr) {
        Log_Warn("%s called when Man array was already initialised.", __func__);
        releaseMen();
    }
    gMen = static_cast<Man*>(Util_Calloc(static_cast<std::size_t>(gMaxMen), sizeof(Man)));
    if (gMen == nullptr) {
        Log_Error("Out of memory.");
        return -1;
    }
    return 0;
}

Man* Man_get(std::int32_t id) {
    if (gMen == nullptr) {
        Log_Error("Cannot get Man - core array is NULL!");
        return nullptr;
    }
    if (id < 0) {
        Log_Error("id entered was invalid: %d", id);
        return nullptr;
    }
    // The next free slot may be asked for, but never one past the array.
    if (id > gAllocHead || id >= gMaxMen) {
        Log_Error("id entered was too big! id:%d, Alloc head:%d, Max:%d", id, gAllocHead, gMaxMen);
        return nullptr;
    }
    return &gMen[id];
}

Man* Man_getList(std::int32_t* count) {
    if (gMen == nullptr) {
        Log_Error("Cannot get the list of Men, NULL ptr.");
        return nullptr;
    }
    if (count != nullptr) {
        *count = gAllocHead;
    }
    return gMen;
}

int Man_create(std::int32_t x, std::int32_t y, std::int32_t maxHealth, std::int32_t strength,
               std::int32_t speed, std::int32_t variant, std::int32_t team,
               std::int32_t walkVariance, const char* name) {
    // A failed creation leaves the population as it found it.
    const std::int32_t oldAllocHead = gAllocHead;
    const std::int32_t oldAliveCount = gAliveCount;
    const auto failure = [&]() {
        gAllocHead = oldAllocHead;
        gAliveCount = oldAliveCount;
        Log_flush();
        return -1;
    };

    if (gAllocHead >= gMaxMen) {
        Log_Error("Out of room for Men!");
        return failure();
    }
    Man* const man = Man_get(gAllocHead);
    if (man == nullptr) {
        Log_Error("Man is NULL, error in main man array.");
        return failure();
    }

    man->x = static_cast<float>(x);
    man->y = static_cast<float>(y);
    man->health = maxHealth;
    man->maxHealth = maxHealth;
    man->strength = strength;
    man->speed = speed;
    man->variant = variant;
    man->team = team;
    man->name = name;
    man->reserved = 0;

    ++gAliveCount;
    man->id = gAllocHead;
    ++gAllocHead;

    // A new man always walks: standing still is only ever drawn later.
    man->direction = Util_Rand(8);
    man->walkVariance = walkVariance;
    man->walkTicks = 0;
    man->walkLength = Util_Rand(walkVariance);
    man->animFrame = 0;
    man->animTicks = 0;
    man->diagSpeed = static_cast<float>(static_cast<double>(speed) * DIAG_FACTOR);

    man->localList = static_cast<std::int32_t*>(
        Util_Calloc(static_cast<std::size_t>(gMaxMen), sizeof(std::int32_t)));
    if (man->localList == nullptr) {
        Log_Error("Out of memory.");
        return failure();
    }
    man->dead = 0;
    man->scanTimer = SCAN_TIMER_START;
    return 0;
}

void Man_freeAll() {
    releaseMen();
}

std::int32_t Man_getAliveCount() {
    return gAliveCount;
}

void Man_setMax(std::int32_t max) {
    gMaxMen = max;
}

const SDL_Rect* Man_getBounds() {
    return &gBounds;
}
