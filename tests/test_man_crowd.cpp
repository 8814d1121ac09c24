#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "game/game.h"
#include "man/man.h"
#include "share/share_utils.h"

namespace {
constexpr std::uint32_t SEED = 20240607;

// The generator's state n steps after state, worked out on the side.
std::uint32_t stepped(std::uint32_t state, int n) {
    while (n-- > 0) {
        state = state * 214013u + 2531011u;
    }
    return state;
}

// Whether his list opens with the living men but him strictly within 100
// pixels, in slot order.
bool listsThoseNear(const Man& man) {
    const std::int32_t* entry = man.localList;
    for (const Man* o = gMen; o < gMen + gAllocHead; ++o) {
        const float dx = man.x - o->x, dy = man.y - o->y;
        const bool near = std::sqrt(static_cast<double>(dx * dx + dy * dy)) < 100.0;
        if (o != &man && o->dead == 0 && near && *entry++ != o->id) {
            return false;
        }
    }
    return true;
}
} // namespace

TEST(Crowd, SpawnsAndFightsItOut) {
    Man_freeAll();
    Man_setMax(100);
    ASSERT_EQ(Man_init(), 0);
    Util_SeedRandWith(SEED);
    spawn_men();
    ASSERT_EQ(gAllocHead, 100);
    for (const Man* m = gMen; m < gMen + 100; ++m) {
        EXPECT_TRUE(m->strength == 4 && m->speed >= 1 && m->speed <= 3 && m->maxHealth >= 20 &&
                    m->maxHealth <= 69 && m->x >= 200 && m->x <= 299 && m->y >= 100 &&
                    m->y <= 199 && m->walkVariance >= 10 && m->walkVariance <= 69 &&
                    m->direction >= 0 && m->direction <= 7 && std::strcmp(m->name, "Billy") == 0)
            << "man " << m->id;
        // His x is his 8th draw, his direction and walk the 9th and 10th; the
        // last replay leaves the generator where the spawn left it.
        Util_SeedRandWith(stepped(SEED, 10 * m->id + 7));
        EXPECT_TRUE(m->x == static_cast<float>(Util_Rand(100) + 200) &&
                    m->direction == Util_Rand(8) && m->walkLength == Util_Rand(m->walkVariance))
            << "man " << m->id;
    }
    int firstDeath = -1, halfFallen = -1;
    for (int tick = 1; tick <= 3600 && halfFallen < 0; ++tick) {
        std::int32_t living = 0;
        for (Man* m = gMen; m < gMen + gAllocHead; ++m) {
            const bool scans = m->dead == 0 && m->scanTimer < 0;
            ASSERT_TRUE(m->dead != 0 || Man_update(m) == 0) << "tick " << tick;
            ASSERT_TRUE(!scans || listsThoseNear(*m)) << "man " << m->id << " on tick " << tick;
        }
        for (const Man* m = gMen; m < gMen + gAllocHead; ++m) {
            living += m->dead == 0 ? 1 : 0;
            ASSERT_TRUE(m->dead != 0 ||
                        (m->x > 1 && m->x + 10 < 599 && m->y > 1 && m->y + 17 < 399))
                << "man " << m->id << " at " << m->x << "," << m->y << " on tick " << tick;
        }
        ASSERT_EQ(Man_getAliveCount(), living);
        firstDeath = firstDeath < 0 && living < 100 ? tick : firstDeath;
        halfFallen = living <= 50 ? tick : -1;
    }
    std::printf("first death on tick %d, half fallen on tick %d\n", firstDeath, halfFallen);
    EXPECT_TRUE(firstDeath > 0 && firstDeath <= 600);
    EXPECT_GT(halfFallen, 0);
    Man_freeAll();
}
