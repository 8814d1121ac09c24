#include <gtest/gtest.h>

#include <cerrno>

#include "man/man.h"
#include "support/log_capture.h"

// Men are written with designated initialisers; the fields left out are zero.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using Lines = std::vector<std::string>;

TEST(Behaviour, StepsTurnsAndWalks) {
    // Each row: direction, x, y, then where he ends and which way he faces.
    const float rows[][6] = {
        {0, 2, 200, 2, 200, 1},     {0, 3, 200, 2, 200, 0},         {1, 588, 200, 588, 200, 0},
        {1, 587, 200, 588, 200, 1}, {2, 300, 2, 300, 2, 3},         {2, 300, 3, 300, 2, 2},
        {3, 300, 381, 300, 381, 2}, {3, 300, 380, 300, 381, 3},     {4, 1.5, 200, 1.5, 200, 7},
        {5, 300, 1.5, 300, 1.5, 6}, {6, 300, 381.5, 300, 381.5, 5}, {7, 588.5, 200, 588.5, 200, 4},
        {8, 0, 0, 0, 0, 8}};
    for (const auto& [dir, x, y, endX, endY, endDir] : rows) {
        Man man{.x = x, .y = y, .speed = 1, .diagSpeed = 0.707f, .walkTicks = 13, .walkLength = 10};
        man.direction = static_cast<std::int32_t>(dir);
        ASSERT_EQ(Man_move(&man), 0);
        // He is past the end of his walk: a turn takes him halfway back to
        // it, and -3 / 2 goes toward zero.
        EXPECT_TRUE(man.x == endX && man.y == endY && man.direction == endDir &&
                    man.walkTicks == (endDir != dir || dir == DIR_STAND ? 12 : 13))
            << "direction " << dir << " from " << x << "," << y;
    }
    // A walk lasts while its ticks equal its length, and at 0 a man is open
    // to blows but does not scan yet (this one has no list to scan into).
    Man walker{.x = 300, .y = 200, .walkTicks = 10, .direction = DIR_STAND, .walkLength = 10};
    ASSERT_EQ(Man_update(&walker), 0);
    EXPECT_EQ(walker.walkTicks, 11);
}

TEST(Behaviour, NeighboursStrikesAndDeath) {
    ASSERT_EQ(Man_init(), 0);
    const std::int32_t rows[][5] = {
        // x, y, team, scanTimer, health. The first man scans; the fifth stands
        // 100 away, out of reach, and the last is dead. At speed 0 nobody moves.
        {100, 100, 0, -1, 40}, {100, 200, 1, 0, 3},  {130, 100, 2, 1, 0},
        {140, 100, 0, 0, 40},  {200, 100, 3, 0, 40}, {110, 100, 3, 0, 40}};
    for (const auto& [x, y, team, timer, health] : rows) {
        ASSERT_EQ(Man_create(x, y, health, 4, 0, 0, team, 30, "Billy"), 0);
        gMen[gAllocHead - 1].scanTimer = timer;
    }
    Man &attacker = gMen[0], &open = gMen[1], &guarded = gMen[2], &friendly = gMen[3];
    open.y = 199.99f;
    gMen[5].dead = 1;
    ASSERT_EQ(Man_update(&attacker), 0);
    EXPECT_EQ(std::vector<std::int32_t>(attacker.localList, attacker.localList + 4),
              (std::vector<std::int32_t>{1, 2, 3, 0}));
    EXPECT_TRUE(open.health == -1 && open.scanTimer == 1 && guarded.health == 0 &&
                friendly.health == 40 && gMen[4].health == 40);
    guarded.name = nullptr;
    LogCapture log;
    ASSERT_EQ(Man_update(&guarded), 0);
    ASSERT_EQ(Man_update(&open), 0);
    EXPECT_TRUE(guarded.dead == 0 && open.dead == 1 && Man_getAliveCount() == 5);
    ASSERT_EQ(Man_die(&guarded), 0);
    EXPECT_EQ(log.messages(), (Lines{"Billy#1 has died. Blurgh!", "Man#2 has died. Blurgh!"}));
    Man_freeAll();
}

TEST(Behaviour, FailureChainsClearErrnoOnce) {
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
