#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

#include "man/man.h"
#include "share/alloc.h"
#include "support/log_capture.h"

using Lines = std::vector<std::string>;

class Behaviour : public ::testing::Test {
  protected:
    void SetUp() override {
        Man_freeAll();
        Man_setMax(100);
        ASSERT_EQ(Man_init(), 0);
    }
    void TearDown() override { Man_freeAll(); }
    // A man of speed 1 at (x, y) on a long walk.
    static Man* spawn(float x, float y, std::int32_t dir, std::int32_t team = 0) {
        Man* man = &gMen[gAllocHead];
        EXPECT_EQ(Man_create(100, 100, 40, 4, 1, 0, team, 30, "Billy"), 0);
        man->x = x, man->y = y, man->direction = dir, man->walkLength = 1000;
        return man;
    }
};

TEST_F(Behaviour, StepsTurnsWalksAndFrames) {
    // Each row: direction, x, y, then where he ends and which way he faces.
    const float rows[][6] = {
        {0, 2, 200, 2, 200, 1},     {0, 3, 200, 2, 200, 0},         {1, 588, 200, 588, 200, 0},
        {1, 587, 200, 588, 200, 1}, {2, 300, 2, 300, 2, 3},         {2, 300, 3, 300, 2, 2},
        {3, 300, 381, 300, 381, 2}, {3, 300, 380, 300, 381, 3},     {4, 1.5, 200, 1.5, 200, 7},
        {5, 300, 1.5, 300, 1.5, 6}, {6, 300, 381.5, 300, 381.5, 5}, {7, 588.5, 200, 588.5, 200, 4},
        {8, 0, 0, 0, 0, 8}};
    for (const auto& r : rows) {
        Man* man = spawn(r[1], r[2], static_cast<std::int32_t>(r[0]));
        man->walkTicks = 3, man->walkLength = 10;
        ASSERT_EQ(Man_move(man), 0);
        const bool turned = r[5] != r[0] || r[0] == DIR_STAND; // and halfway to the walk's end
        EXPECT_TRUE(man->x == r[3] && man->y == r[4] && man->direction == r[5] &&
                    man->walkTicks == (turned ? 6 : 3))
            << "direction " << r[0] << " from " << r[1] << "," << r[2];
    }
    Man* man = spawn(2, 200, DIR_LEFT);
    man->walkTicks = 13, man->walkLength = 10;
    ASSERT_EQ(Man_move(man), 0);
    EXPECT_EQ(man->walkTicks, 12); // -3 / 2 goes toward zero
    ASSERT_EQ(Man_update(man), 0);
    EXPECT_TRUE(man->walkTicks == 1 && man->walkLength > 80) << "a new walk is drawn";
    man->walkTicks = man->walkLength = 10; // a walk lasts while its ticks equal its length
    man->direction = DIR_STAND;
    ASSERT_EQ(Man_update(man), 0);
    EXPECT_TRUE(man->walkTicks == 11 && man->direction == DIR_STAND);
    man->walkLength = 1000;
    for (int i = 0; i < 10; ++i) { // his frame turns on his 7th update, then every 6th
        ASSERT_EQ(Man_update(man), 0);
    }
    EXPECT_TRUE(man->animFrame == 1 && man->animTicks == 6);
}

TEST_F(Behaviour, NeighboursStrikesAndDeath) {
    Man* attacker = spawn(100, 100, DIR_STAND, 0);
    Man* open = spawn(100, 199.99f, DIR_STAND, 1);
    Man* guarded = spawn(130, 100, DIR_STAND, 2);
    Man* friendly = spawn(140, 100, DIR_STAND, 0);
    spawn(200, 100, DIR_STAND, 3)->scanTimer = 0; // 100 away: out of reach
    spawn(110, 100, DIR_STAND, 3)->dead = 1;
    attacker->scanTimer = -1, open->scanTimer = friendly->scanTimer = 0, guarded->scanTimer = 1;
    open->health = 3;
    ASSERT_EQ(Man_update(attacker), 0);
    EXPECT_TRUE(attacker->scanTimer == 10 || attacker->scanTimer == 11);
    EXPECT_EQ(std::vector<std::int32_t>(attacker->localList, attacker->localList + 4),
              (std::vector<std::int32_t>{1, 2, 3, 0}));
    EXPECT_TRUE(open->health == -1 && open->scanTimer == 1);
    EXPECT_TRUE(guarded->health == 40 && friendly->health == 40 && gMen[4].health == 40);
    ASSERT_EQ(Man_update(friendly), 0);
    EXPECT_LE(friendly->scanTimer, 0); // at 0 he is open to blows, not yet scanning
    guarded->health = 0, guarded->name = nullptr;
    LogCapture log;
    ASSERT_EQ(Man_update(guarded), 0);
    ASSERT_EQ(Man_update(open), 0);
    EXPECT_TRUE(guarded->dead == 0 && open->dead == 1 && Man_getAliveCount() == 5);
    ASSERT_EQ(Man_die(guarded), 0);
    EXPECT_EQ(log.messages(), (Lines{"Billy#1 has died. Blurgh!", "Man#2 has died. Blurgh!"}));
}

TEST_F(Behaviour, FailureChainsClearErrnoOnce) {
    Man* lost = spawn(300, 200, 9);
    Man* lonely = spawn(300, 200, DIR_STAND);
    lonely->scanTimer = -1;
    Util_Free(lonely->localList);
    lonely->localList = nullptr;
    const std::pair<std::function<int()>, Lines> cases[] = {
        {[] { return Man_update(nullptr); },
         {"Cannot pass NULL man to update.", "Man update failed."}},
        {[&] { return Man_update(lost); },
         {"Invalid direction passed to move..", "Could not move Man!", "Man update failed."}},
        {[&] { return Man_update(lonely); },
         {"Man's Local List is NULL.", "Failed to get neighbors.", "Man update failed."}},
        {[] { return Man_strike(nullptr, nullptr) == -1 && Man_die(nullptr) == -1 ? -1 : 0; },
         {"Must pass valid Men to function!", "Cannot kill what does not exist."}},
    };
    for (const auto& [call, want] : cases) {
        LogCapture log;
        errno = EINVAL;
        EXPECT_EQ(call(), -1);
        EXPECT_EQ(errno, 0);
        EXPECT_EQ(log.messages(), want);
        const Lines lines = log.lines();
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_NE(lines[i].find(i == 0 ? "errno: Yep)" : "errno: None)"), std::string::npos);
            EXPECT_EQ(lines[i].rfind(want[i] == "Man update failed." ? "[WARN]" : "[ERROR]", 0),
                      0u);
        }
    }
    EXPECT_TRUE(lost->x == 300.0f && lost->direction == 9);
}
