#include "game/game.h"
#include "man/man.h"
#include "share/share_utils.h"

namespace {
constexpr const char* MAN_NAME = "Billy";
}

void spawn_men() {
    for (int i = 0; i < SPAWN_COUNT; ++i) {
        // The draws go from the last parameter to the first; the strength
        // draw is always 0 but is made so the sequence stays the same.
        const int walkVariance = Util_Rand(60) + 10;
        const int team = Util_Rand(8);
        const int variant = Util_Rand(3);
        const int speed = Util_Rand(3) + 1;
        const int strength = Util_Rand(1) + 4;
        const int maxHealth = Util_Rand(50) + 20;
        const int y = Util_Rand(100) + 100;
        const int x = Util_Rand(100) + 200;
        (void)Man_create(x, y, maxHealth, strength, speed, variant, team, walkVariance, MAN_NAME);
    }
}
