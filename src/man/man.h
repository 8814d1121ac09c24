// The men: their record, the population that holds them, their behaviour
// each tick, and where each one is cut from the sprite sheet.
#pragma once

#include <SDL.h>

#include <cstdint>

// Direction codes; the step is added to the man's position.
constexpr std::int32_t DIR_LEFT = 0;
constexpr std::int32_t DIR_RIGHT = 1;
constexpr std::int32_t DIR_UP = 2;
constexpr std::int32_t DIR_DOWN = 3;
constexpr std::int32_t DIR_UP_LEFT = 4;
constexpr std::int32_t DIR_UP_RIGHT = 5;
constexpr std::int32_t DIR_DOWN_LEFT = 6;
constexpr std::int32_t DIR_DOWN_RIGHT = 7;
constexpr std::int32_t DIR_STAND = 8;

// A man's scan timer starts here and goes back here after every scan.
constexpr std::int32_t SCAN_TIMER_START = 11;

// The sprite sheet: one cell per pose, a band of cells per team, a group of
// three cells per look, and the health strip under the bands.
constexpr int CELL_W = 10;
constexpr int CELL_H = 17;
constexpr int GROUP_W = 3 * CELL_W;
constexpr int BAR_ROW = 8 * CELL_H;
constexpr int BAR_MAX_W = 20;

struct Man {
    float x; // top-left corner on the screen
    float y;
    std::int32_t health; // the man dies when it falls below zero
    std::int32_t maxHealth;
    std::int32_t strength;  // health one strike takes
    std::int32_t speed;     // pixels per tick on a straight step
    float diagSpeed;        // pixels per tick on each axis of a diagonal step
    std::int32_t scanTimer; // scans while below 0; can be struck only at 0
    std::int32_t animFrame; // 0 to 3
    std::int32_t animTicks;
    std::int32_t walkVariance;
    std::int32_t walkTicks;
    std::int32_t direction; // DIR_*
    std::int32_t walkLength;
    const char* name;     // borrowed
    std::int32_t variant; // look: column group on the sheet
    std::int32_t team;    // row band on the sheet
    std::int32_t reserved;
    std::int32_t* localList; // ids found by the last scan, gMaxMen entries
    std::int32_t dead;
    std::int32_t id; // slot index
};

// --- The population -----------------------------------------------------
extern Man* gMen;                // core array, null until Man_init
extern std::int32_t gMaxMen;     // capacity of the array and of every list
extern std::int32_t gAllocHead;  // slots handed out; id of the next free one
extern std::int32_t gAliveCount; // men not dead
extern const SDL_Rect gBounds;   // the walking field: x 1, y 1, w 598, h 398

// Allocates a zero-filled array of gMaxMen men (a previous one is released
// with its men's lists, and the counters start again). 0, or -1.
int Man_init();

// The man in slot id (id may be gAllocHead: the next free slot), or null
// with an ERROR line for no array, a negative id, or an id above gAllocHead
// or at or above gMaxMen.
Man* Man_get(std::int32_t id);

// The core array, with gAllocHead stored in *count when count is not null;
// null when there is no array.
Man* Man_getList(std::int32_t* count);

// Fills the next free slot with a new man. 0, or -1 with the population as
// it was (the random draws already made stay made).
int Man_create(std::int32_t x, std::int32_t y, std::int32_t maxHealth, std::int32_t strength,
               std::int32_t speed, std::int32_t variant, std::int32_t team,
               std::int32_t walkVariance, const char* name);

// Releases every list and the array; gMen null, both counters 0.
void Man_freeAll();

std::int32_t Man_getAliveCount();

// Sets the capacity used by the next Man_init.
void Man_setMax(std::int32_t max);

const SDL_Rect* Man_getBounds();

// --- Behaviour ----------------------------------------------------------

// One tick of one living man: move, new walk, neighbour scan and strikes,
// animation, death test. 0, or -1 after a WARN "Man update failed.".
int Man_update(Man* man);

// One step in the man's direction, or a turn about at the field's edge. 0,
// or -1 for a null man or a code outside 0 to 8 (nothing changed).
int Man_move(Man* man);

// The opposite direction; 8 for anything but 0 to 7.
[[nodiscard]] std::int32_t Man_reverseDirection(std::int32_t direction);

// Lists in man->localList the living men within 100 pixels of him, in id
// order, and stores how many in *count. 0, or -1.
int Man_getNeighbors(Man* man, std::int32_t* count);

// Hits target once if his scanTimer is exactly 0. 0, or -1 for a null man.
int Man_strike(Man* attacker, Man* target);

// Marks the man dead and writes the death line. 0, or -1 for a null man.
int Man_die(Man* man);

// --- Drawing ------------------------------------------------------------

// Writes the man's cell on the sheet into src->x and src->y and his screen
// position into *screenX, *screenY. 0, or -1 (nothing written).
int Man_getSpriteBox(const Man* man, SDL_Rect* src, std::int32_t* screenX, std::int32_t* screenY);

// Writes the width of his health bar into barSrc->w and its place into
// barDst->x, y, w. A man below zero health has no bar: 0 and nothing
// written. -1 (nothing written) for null arguments or maxHealth below 1.
int Man_getHealthBox(const Man* man, SDL_Rect* barSrc, SDL_Rect* barDst);
