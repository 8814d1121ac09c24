#include <cmath>

#include "man/man.h"
#include "share/log.h"
#include "share/share_utils.h"

namespace {
constexpr float NEIGHBOR_RANGE = 100.0f;
constexpr std::int32_t ANIM_FRAMES = 4;
constexpr std::int32_t ANIM_HOLD = 5; // ticks a frame shows, less one
constexpr std::int32_t LONGEST_WALK = 110;

// Unit steps per direction code; straight steps scale by speed, diagonal
// ones by diagSpeed.
struct Step {
    std::int32_t dx;
    std::int32_t dy;
};
constexpr Step STEPS[] = {{-1, 0}, {1, 0},  {0, -1}, {0, 1}, {-1, -1},
                          {1, -1}, {-1, 1}, {1, 1},  {0, 0}};
constexpr std::int32_t OPPOSITE[] = {DIR_RIGHT,      DIR_LEFT,      DIR_DOWN,     DIR_UP,
                                     DIR_DOWN_RIGHT, DIR_DOWN_LEFT, DIR_UP_RIGHT, DIR_UP_LEFT};
} // namespace

int Man_update(Man* man) {
    // Declared before the first jump to the failure exit.
    std::int32_t count = 0;

    if (man == nullptr) {
        Log_Error("Cannot pass NULL man to update.");
        goto failure;
    }
    if (Man_move(man) != 0) {
        Log_Error("Could not move Man!");
        goto failure;
    }
    if (man->walkTicks > man->walkLength || man->walkTicks < 0) {
        man->direction = Util_Rand(9);
        man->walkLength = LONGEST_WALK - Util_Rand(man->walkVariance);
        man->walkTicks = 0;
    }
    if (man->scanTimer < 0) {
        if (Man_getNeighbors(man, &count) != 0) {
            Log_Error("Failed to get neighbors.");
            goto failure;
        }
        Log_flush();
        // Blows already dealt stay dealt if a later one fails.
        for (std::int32_t i = 0; i < count; ++i) {
            Man* const target = Man_get(man->localList[i]);
            if (target == nullptr) {
                Log_Error("Could not get target Man from local neighbor list, i:%d.", i);
                goto failure;
            }
            if (target->team != man->team && Man_strike(man, target) != 0) {
                Log_Error("Failed to attack your fellow Man.");
                goto failure;
            }
        }
        man->scanTimer = SCAN_TIMER_START;
    }
    if (man->animTicks > ANIM_HOLD) {
        man->animTicks = 0;
        ++man->animFrame;
        if (man->animFrame >= ANIM_FRAMES) {
            man->animFrame = 0;
        }
    }
    if (man->health < 0) {
        (void)Man_die(man);
    }
    ++man->walkTicks;
    ++man->animTicks;
    // Every man starts at the same timer and goes back to it after each
    // scan, so a fixed countdown would keep the whole crowd in step: nobody
    // would stand at 0 while another scans, and no blow would ever land. A
    // countdown at even odds lets the men drift apart and the fight start.
    man->scanTimer -= Util_Rand(2);
    return 0;

failure:
    Log_Warn("Man update failed.");
    return -1;
}

int Man_move(Man* man) {
    if (man == nullptr) {
        Log_Error("Cannot pass a Man that is NULL.");
        return -1;
    }
    if (man->direction < DIR_LEFT || man->direction > DIR_STAND) {
        Log_Error("Invalid direction passed to move..");
        return -1;
    }
    const Step unit = STEPS[man->direction];
    float dx = 0.0f;
    float dy = 0.0f;
    if (man->direction < DIR_UP_LEFT) {
        dx = static_cast<float>(unit.dx * man->speed);
        dy = static_cast<float>(unit.dy * man->speed);
    } else {
        dx = static_cast<float>(unit.dx) * man->diagSpeed;
        dy = static_cast<float>(unit.dy) * man->diagSpeed;
    }
    const float nx = man->x + dx;
    const float ny = man->y + dy;

    // The whole body must stay strictly inside the field, on both axes.
    const float left = static_cast<float>(gBounds.x);
    const float top = static_cast<float>(gBounds.y);
    const float right = static_cast<float>(gBounds.x + gBounds.w);
    const float bottom = static_cast<float>(gBounds.y + gBounds.h);
    if (nx > left && nx + static_cast<float>(CELL_W) < right && ny > top &&
        ny + static_cast<float>(CELL_H) < bottom) {
        man->x = nx;
        man->y = ny;
        return 0;
    }
    // Turning back at the edge also cuts what is left of the walk by half.
    man->direction = Man_reverseDirection(man->direction);
    man->walkTicks += (man->walkLength - man->walkTicks) / 2;
    return 0;
}

std::int32_t Man_reverseDirection(std::int32_t direction) {
    if (direction < DIR_LEFT || direction > DIR_DOWN_RIGHT) {
        return DIR_STAND;
    }
    return OPPOSITE[direction];
}

int Man_getNeighbors(Man* man, std::int32_t* count) {
    if (man == nullptr) {
        Log_Error("Cannot pass a Man that is NULL.");
        return -1;
    }
    if (man->localList == nullptr) {
        Log_Error("Man's Local List is NULL.");
        return -1;
    }
    *count = 0;
    for (std::int32_t id = 0; id < gAllocHead; ++id) {
        const Man* const other = Man_get(id);
        if (other == nullptr) {
            Log_Error("Man ID:%d is NULL, abort.", id);
            return -1;
        }
        if (other->dead != 0 || other->id == man->id) {
            continue;
        }
        const float dx = man->x - other->x;
        const float dy = man->y - other->y;
        const float s = dx * dx + dy * dy;
        const auto distance = static_cast<float>(std::sqrt(static_cast<double>(s)));
        if (!(distance < NEIGHBOR_RANGE)) {
            continue;
        }
        if (*count < 0 || *count >= gAllocHead) {
            Log_Error("Invalid value of count: %d!", *count);
            return -1;
        }
        man->localList[*count] = other->id;
        ++*count;
    }
    return 0;
}

int Man_strike(Man* attacker, Man* target) {
    if (target == nullptr || attacker == nullptr) {
        Log_Error("Must pass valid Men to function!");
        return -1;
    }
    // Only a man whose timer has just run down can be hit; the blow starts
    // it again, so he stays safe until it runs down once more.
    if (target->scanTimer == 0) {
        target->health -= attacker->strength;
        target->scanTimer = 1;
    }
    return 0;
}

int Man_die(Man* man) {
    if (man == nullptr) {
        Log_Error("Cannot kill what does not exist.");
        return -1;
    }
    --gAliveCount;
    man->dead = 1;
    if (man->name != nullptr) {
        Log_Info("%s#%d has died. Blurgh!", man->name, man->id);
    } else {
        Log_Info("Man#%d has died. Blurgh!", man->id);
    }
    return 0;
}
