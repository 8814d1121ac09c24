// The men where a battle never goes: the population's limits and every
// refusal. (The golden battle pins the spawn, the rules of every tick, the
// field's edges and the sprite cells and bars drawn.)
#include <gtest/gtest.h>

#include <cerrno>

#include "man/man.h"
#include "share/alloc.h"
#include "share/log.h"
#include "share/share_utils.h"
#include "support/log_capture.h"

// Men are written with designated initialisers; the fields left out are zero.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {
using Lines = std::vector<std::string>;

TEST(Men, ThePopulationFillsUpFailsCleanlyAndStartsAgain) {
    LogCapture log;
    EXPECT_EQ(Man_create(250, 150, 40, 4, 2, 1, 2, 30, "Billy"), -1);
    ASSERT_EQ(Man_init(), 0);
    ASSERT_EQ(Man_create(250, 150, 40, 4, 2, 1, 2, 30, "Billy"), 0);
    errno = EINVAL;
    Util_FailAllocAt(1); // the new man's list
    Log_Info("waiting for a flush");
    const long before = flushedBytes();
    EXPECT_EQ(Man_create(250, 150, 40, 4, 2, 1, 2, 30, "Billy"), -1);
    EXPECT_TRUE(flushedBytes() > before && errno == 0 && gAllocHead == 1 &&
                Man_getAliveCount() == 1);
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

// Each refusal logs its lines and changes nothing; an ERROR line clears errno.
TEST(Men, RefusalsLogTheirLinesAndChangeNothing) {
    Man lost{.x = 300, .y = 200, .direction = 9};
    Man lonely{.x = 300, .y = 200, .scanTimer = -1, .direction = DIR_STAND}; // and no list
    LogCapture log;
    for (Man* man : {static_cast<Man*>(nullptr), &lost, &lonely}) {
        errno = EINVAL;
        EXPECT_EQ(Man_update(man), -1);
    }
    errno = EINVAL;
    EXPECT_TRUE(Man_strike(&lost, nullptr) == -1 && Man_die(nullptr) == -1 && errno == 0);
    ASSERT_EQ(Man_die(&lost), 0); // a man without a name dies as Man
    EXPECT_TRUE(lost.x == 300.0f && lost.direction == 9);
    for (const std::int32_t frame : {4, -1}) {
        lost.animFrame = frame;
        SDL_Rect rect = {-1, -1, 10, 17};
        EXPECT_EQ(Man_getSpriteBox(&lost, &rect, &rect.w, &rect.h), -1);
        EXPECT_TRUE(rect.x == -1 && rect.y == -1 && rect.w == 10 && rect.h == 17 &&
                    flushedBytes() > 0)
            << "a failure's line reaches the file at once";
    }
    SDL_Rect rect = {-9, -9, -9, -9};
    EXPECT_EQ(Man_getHealthBox(&lost, &rect, &rect), -1); // no starting health to measure by
    EXPECT_TRUE(rect.x == -9 && rect.w == -9);
    EXPECT_EQ(Man_getSpriteBox(nullptr, nullptr, &rect.x, &rect.y), -1);
    EXPECT_EQ(Man_getSpriteBox(nullptr, &rect, &rect.x, &rect.y), -1);
    EXPECT_EQ(Man_getHealthBox(nullptr, nullptr, nullptr), -1);
    EXPECT_EQ(Man_getHealthBox(&lost, &rect, nullptr), -1);
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
               "[ERROR] None) Cannot kill what does not exist.",
               "[INFO] None) Man#0 has died. Blurgh!",
               "[ERROR] None) Invalid animation frame number :(",
               "[ERROR] None) Invalid animation frame number :(",
               "[ERROR] None) Man#0 has no starting health to measure a bar by: 0",
               "[ERROR] None) SDL_Rect param cannot be NULL!",
               "[ERROR] None) Man nust not be NULL!", "[ERROR] None) Man must not be NULL.",
               "[ERROR] None) Invalid SDL_Rect parameters - NULL ptr caught."}));
}

} // namespace
