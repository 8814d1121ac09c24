#include "man/man.h"
#include "share/log.h"

namespace {
// Columns inside a look's group for animation frames 0 to 3: the standing
// cell, the first stride, the standing cell again, the second stride.
constexpr int FRAME_COLUMN[] = {0, CELL_W, 0, 2 * CELL_W};
constexpr std::int32_t FRAME_COUNT = 4;
constexpr std::int32_t BAR_LIFT = 3;  // rows from the bar's top to the head
constexpr std::int32_t BAR_SHIFT = 5; // columns the bar reaches left of the body
} // namespace

int Man_getSpriteBox(const Man* man, SDL_Rect* src, std::int32_t* screenX, std::int32_t* screenY) {
    int column = 0;
    if (src == nullptr) {
        Log_Error("SDL_Rect param cannot be NULL!");
        goto failure;
    }
    if (man == nullptr) {
        Log_Error("Man nust not be NULL!");
        goto failure;
    }
    // A standing man shows his standing cell whatever his frame says.
    if (man->direction != DIR_STAND) {
        if (man->animFrame < 0 || man->animFrame >= FRAME_COUNT) {
            Log_Error("Invalid animation frame number :(");
            goto failure;
        }
        column = FRAME_COLUMN[man->animFrame];
    }
    src->x = GROUP_W * man->variant + column;
    src->y = CELL_H * man->team;
    *screenX = static_cast<std::int32_t>(man->x);
    *screenY = static_cast<std::int32_t>(man->y);
    return 0;

failure:
    Log_flush();
    return -1;
}

int Man_getHealthBox(const Man* man, SDL_Rect* barSrc, SDL_Rect* barDst) {
    if (man == nullptr) {
        Log_Error("Man must not be NULL.");
        return -1;
    }
    if (barSrc == nullptr || barDst == nullptr) {
        Log_Error("Invalid SDL_Rect parameters - NULL ptr caught.");
        return -1;
    }
    // The bar is a share of his starting health; without one there is
    // nothing to divide by.
    if (man->maxHealth < 1) {
        Log_Error("Man#%d has no starting health to measure a bar by: %d", man->id, man->maxHealth);
        return -1;
    }
    std::int32_t width = man->health * BAR_MAX_W / man->maxHealth;
    if (width <= 0) {
        if (man->health < 0) {
            return 0; // a dying man has no bar
        }
        width = 1; // a living man always shows a sliver
    }
    barSrc->w = width;
    barDst->w = width;
    barDst->y = static_cast<std::int32_t>(man->y) - BAR_LIFT;
    barDst->x = static_cast<std::int32_t>(man->x) - BAR_SHIFT;
    return 0;
}
