// The men where a battle never goes: blows on men set up by hand, the
// field's edges, the population's limits and every refusal. (The golden
// battle pins the spawn and the rules of every tick.)
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "game/game.h"
#include "man/man.h"
#include "share/alloc.h"
#include "share/log.h"
#include "share/share_utils.h"
#include "support/log_capture.h"

// Men are written with designated initialisers; the fields left out are zero.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {
using Lines = std::vector<std::string>;

// Bytes of the log that reached its file: lines get there only by a flush.
long flushed() {
    struct stat st {};
    return fstat(fileno(gLog), &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

TEST(Men, AScanStrikesEveryEnemyInReachWhoseTimerIsExactlyZero) {
    ASSERT_EQ(Man_init(), 0);
    const std::int32_t rows[][6] = {
        // x, y, team, scanTimer, health, strength. The first man scans; the
        // sixth stands 100 away, out of reach, and the last is dead. At
        // speed 0 nobody moves.
        {100, 100, 0, -1, 40, 7}, {100, 200, 5, 0, 3, 2},   {130, 100, 2, 1, 0, 2},
        {140, 100, 0, 0, 40, 2},  {100, 150, 4, -1, 40, 2}, {200, 100, 3, 0, 40, 2},
        {110, 100, 3, 0, 40, 2}};
    for (const auto& [x, y, team, timer, health, strength] : rows) {
        ASSERT_EQ(Man_create(x, y, health, strength, 0, 0, team, 30, "Billy"), 0);
        gMen[gAllocHead - 1].scanTimer = timer;
    }
    Man &attacker = gMen[0], &open = gMen[1], &guarded = gMen[2];
    open.y = 199.99f;
    gMen[6].dead = 1;
    attacker.localList[4] = 5; // left from an earlier scan: no neighbour now
    Util_SeedRandWith(5u);
    ASSERT_EQ(Man_update(&attacker), 0);
    EXPECT_EQ(attacker.scanTimer, 11); // the first draw of two from seed 5 is 0
    EXPECT_EQ(std::vector<std::int32_t>(attacker.localList, attacker.localList + 5),
              (std::vector<std::int32_t>{1, 2, 3, 4, 5}));
    // Only the open enemy is hit, by the attacker's strength, and stays safe
    // until his timer runs down again.
    EXPECT_TRUE(open.health == -4 && open.scanTimer == 1 && guarded.health == 0 &&
                gMen[3].health == 40 && gMen[4].health == 40 && gMen[5].health == 40);
    // A man dies below zero health, at his own update.
    guarded.name = nullptr;
    LogCapture log;
    ASSERT_EQ(Man_update(&guarded), 0);
    ASSERT_EQ(Man_update(&open), 0);
    EXPECT_TRUE(guarded.dead == 0 && open.dead == 1 && Man_getAliveCount() == 6);
    ASSERT_EQ(Man_die(&guarded), 0);
    EXPECT_EQ(log.messages(), (Lines{"Billy#1 has died. Blurgh!", "Man#2 has died. Blurgh!"}));
    EXPECT_EQ(log.text().rfind("[INFO]", 0), 0u) << log.text();
    Man_freeAll();
}

TEST(Men, StepsTurnsAndWalks) {
    // Each row: direction, x, y, then where he ends and which way he faces.
    const float rows[][6] = {{0, 2, 200, 2, 200, 1},         {0, 3, 200, 2, 200, 0},
                             {1, 588, 200, 588, 200, 0},     {1, 587, 200, 588, 200, 1},
                             {2, 300, 2, 300, 2, 3},         {2, 300, 3, 300, 2, 2},
                             {3, 300, 381, 300, 381, 2},     {3, 300, 380, 300, 381, 3},
                             {4, 1.5, 200, 1.5, 200, 7},     {5, 300, 1.5, 300, 1.5, 6},
                             {6, 300, 381.5, 300, 381.5, 5}, {7, 588.5, 200, 588.5, 200, 4},
                             {7, 300, 200, 300.5, 200.5, 7}, {8, 0, 0, 0, 0, 8}};
    for (const auto& [dir, x, y, endX, endY, endDir] : rows) {
        Man man{.x = x, .y = y, .speed = 1, .diagSpeed = 0.5f, .walkTicks = 15, .walkLength = 10};
        man.direction = static_cast<std::int32_t>(dir);
        ASSERT_EQ(Man_move(&man), 0);
        // He is past the end of his walk: a turn takes him halfway back to
        // it, and -5 / 2 goes toward zero.
        EXPECT_TRUE(man.x == endX && man.y == endY && man.direction == endDir &&
                    man.walkTicks == (endDir != dir || dir == DIR_STAND ? 13 : 15))
            << "direction " << dir << " from " << x << "," << y;
    }
}

TEST(Men, ThePopulationFillsUpFailsCleanlyAndStartsAgain) {
    LogCapture log;
    EXPECT_EQ(Man_create(250, 150, 40, 4, 2, 1, 2, 30, "Billy"), -1);
    ASSERT_EQ(Man_init(), 0);
    ASSERT_EQ(Man_create(250, 150, 40, 4, 2, 1, 2, 30, "Billy"), 0);
    errno = EINVAL;
    Util_FailAllocAt(1); // the new man's list
    Log_Info("waiting for a flush");
    const long before = flushed();
    EXPECT_EQ(Man_create(250, 150, 40, 4, 2, 1, 2, 30, "Billy"), -1);
    EXPECT_TRUE(flushed() > before && errno == 0 && gAllocHead == 1 && Man_getAliveCount() == 1);
    // The next free slot can be had, without a line; the one after it cannot.
    EXPECT_TRUE(Man_get(1) == &gMen[1] && Man_get(2) == nullptr);
    while (Man_create(250, 150, 40, 4, 2, 1, 2, 30, "Billy") == 0) {
    }
    std::int32_t listed = 0;
    ASSERT_EQ(Man_die(&gMen[7]), 0);
    EXPECT_TRUE(Man_get(100) == nullptr && Man_getAliveCount() == 99 &&
                Man_getList(&listed) == gMen && listed == 100);
    ASSERT_EQ(Man_init(), 0); // the leak check sees any list left behind
    EXPECT_TRUE(gAllocHead == 0 && Man_getAliveCount() == 0 && gMen[0].localList == nullptr);
    EXPECT_EQ(log.messages(),
              (Lines{"Cannot get Man - core array is NULL!",
                     "Man is NULL, error in main man array.", "waiting for a flush",
                     "Out of memory.", "id entered was too big! id:2, Alloc head:1, Max:100",
                     "Out of room for Men!", "Billy#7 has died. Blurgh!",
                     "id entered was too big! id:100, Alloc head:100, Max:100",
                     "Man_init called when Man array was already initialised."}));
    Man_freeAll();
}

TEST(Men, FailureChainsLogTheirLinesAndClearErrnoOnce) {
    Man lost{.x = 300, .y = 200, .direction = 9};
    Man lonely{.x = 300, .y = 200, .scanTimer = -1, .direction = DIR_STAND}; // and no list
    LogCapture log;
    for (Man* man : {static_cast<Man*>(nullptr), &lost, &lonely}) {
        errno = EINVAL;
        EXPECT_EQ(Man_update(man), -1);
    }
    errno = EINVAL;
    EXPECT_TRUE(Man_strike(&lost, nullptr) == -1 && Man_die(nullptr) == -1 && errno == 0);
    EXPECT_TRUE(lost.x == 300.0f && lost.direction == 9);
    Lines got; // each line as its level, errno marker and message
    for (const std::string& line : log.lines()) {
        got.push_back(line.substr(0, line.find(' ')) + line.substr(line.find("errno:") + 6));
    }
    EXPECT_EQ(
        got,
        (Lines{"[ERROR] Yep) Cannot pass NULL man to update.", "[WARN] None) Man update failed.",
               "[ERROR] Yep) Invalid direction passed to move..",
               "[ERROR] None) Could not move Man!", "[WARN] None) Man update failed.",
               "[ERROR] Yep) Man's Local List is NULL.", "[ERROR] None) Failed to get neighbors.",
               "[WARN] None) Man update failed.", "[ERROR] Yep) Must pass valid Men to function!",
               "[ERROR] None) Cannot kill what does not exist."}));
}

TEST(Men, SpriteCellsBarsAndRefusals) {
    const std::int32_t rows[][6] = {
        // direction, frame, look (variant), team, then the cell or -1
        {DIR_STAND, 7, 1, 3, 30, 51}, {DIR_DOWN_RIGHT, 3, 2, 7, 80, 119},
        {DIR_LEFT, 1, 0, 0, 10, 0},   {DIR_UP, 2, 2, 1, 60, 17},
        {DIR_UP, 4, 0, 0, -1, -1},    {DIR_UP, -1, 0, 0, -1, -1}};
    for (const auto& [dir, frame, look, team, cellX, cellY] : rows) {
        Man man{.x = 250.9f, .animFrame = frame, .direction = dir, .variant = look, .team = team};
        SDL_Rect src = {-1, -1, 10, 17}, at = {-1, -1, 0, 0};
        LogCapture log;
        const bool fails = cellX < 0;
        EXPECT_EQ(Man_getSpriteBox(&man, &src, &at.x, &at.y), fails ? -1 : 0);
        // A failure's line reaches the file at once.
        EXPECT_TRUE(src.x == cellX && src.y == cellY && at.x == (fails ? -1 : 250) &&
                    at.y == (fails ? -1 : 0) && (flushed() > 0) == fails)
            << "frame " << frame;
    }
    const std::int32_t bars[][4] = {// health, width, then x and y of the bar (the last partly off
                                    // the screen), the man standing 5.9 right of it and 3.99 below
                                    {69, 20, 245, 117}, {68, 19, 245, 117}, {35, 10, 245, 117},
                                    {4, 1, 245, 117},   {0, 1, 245, 117},   {-1, -9, -9, -9},
                                    {69, 20, -3, -2}};
    for (const auto& [health, width, x, y] : bars) {
        const Man man{.x = x + 5.9f, .y = y + 3.99f, .health = health, .maxHealth = 69};
        SDL_Rect src = {-9, -9, -9, -9}, dst = src;
        ASSERT_EQ(Man_getHealthBox(&man, &src, &dst), 0);
        EXPECT_TRUE(src.w == width && dst.w == width && dst.x == x && dst.y == y && dst.h == -9)
            << "health " << health;
    }
    const Man man{}; // no starting health to measure a bar by
    SDL_Rect rect = {-9, -9, -9, -9};
    LogCapture log;
    errno = EINVAL;
    EXPECT_EQ(Man_getHealthBox(&man, &rect, &rect), -1);
    EXPECT_TRUE(errno == 0 && rect.x == -9 && rect.w == -9);
    EXPECT_EQ(Man_getSpriteBox(nullptr, nullptr, &rect.x, &rect.y), -1);
    EXPECT_EQ(Man_getSpriteBox(nullptr, &rect, &rect.x, &rect.y), -1);
    EXPECT_EQ(Man_getHealthBox(nullptr, nullptr, nullptr), -1);
    EXPECT_EQ(Man_getHealthBox(&man, &rect, nullptr), -1);
    EXPECT_EQ(log.lines()[0].rfind("[ERROR]", 0), 0u);
    EXPECT_EQ(log.messages(),
              (Lines{"Man#0 has no starting health to measure a bar by: 0",
                     "SDL_Rect param cannot be NULL!", "Man nust not be NULL!",
                     "Man must not be NULL.", "Invalid SDL_Rect parameters - NULL ptr caught."}));
}

} // namespace
