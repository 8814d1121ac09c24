#include <gtest/gtest.h>

#include <cstdio>

#include "game/game.h"
#include "man/man.h"
#include "share/share_utils.h"
#include "support/crowd.h"

TEST(Crowd, SpawnsAndFightsItOut) {
    constexpr std::uint32_t SEED = 20240607;
    ASSERT_EQ(Man_init(), 0);
    Util_SeedRandWith(SEED);
    spawn_men();
    // Replayed: each man takes ten draws, of which his x, direction and walk
    // are the last three; the replay leaves the generator where the spawn did.
    Util_SeedRandWith(SEED);
    for (const Man* m = gMen; m < gMen + 100; ++m) {
        for (int skipped = 0; skipped < 7; ++skipped) {
            (void)Util_Rand(2);
        }
        EXPECT_TRUE(m->x == static_cast<float>(Util_Rand(100) + 200) &&
                    m->direction == Util_Rand(8) && m->walkLength == Util_Rand(m->walkVariance) &&
                    m->strength == 4 && m->speed >= 1 && m->speed <= 3 && m->maxHealth >= 20 &&
                    m->maxHealth <= 69 && m->y >= 100 && m->y <= 199 && m->walkVariance >= 10 &&
                    m->walkVariance <= 69 && m->name == std::string("Billy"))
            << "man " << m->id;
    }
    std::string dead;
    int firstDeath = -1, halfFallen = -1;
    for (int tick = 1; tick <= 3600 && halfFallen < 0; ++tick) {
        for (Man* m = gMen; m < gMen + gAllocHead; ++m) {
            ASSERT_TRUE(m->dead != 0 || Man_update(m) == 0) << "tick " << tick;
        }
        ASSERT_EQ(crowdFault(dead), "") << "tick " << tick;
        firstDeath = firstDeath < 0 && Man_getAliveCount() < 100 ? tick : firstDeath;
        halfFallen = Man_getAliveCount() <= 50 ? tick : -1;
    }
    std::printf("first death on tick %d, half fallen on tick %d\n", firstDeath, halfFallen);
    EXPECT_TRUE(firstDeath > 0 && firstDeath <= 600 && halfFallen > 0);
    Man_freeAll();
}
