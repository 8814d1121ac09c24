#include <gtest/gtest.h>

#include <cerrno>

#include "man/man.h"
#include "share/alloc.h"
#include "support/log_capture.h"

using Lines = std::vector<std::string>;

static int create() {
    return Man_create(250, 150, 40, 4, 2, 1, 2, 30, "Billy");
}

TEST(Population, FillsUpAndRefusesBeyond) {
    Man_freeAll();
    Man_setMax(100);
    LogCapture log;
    EXPECT_EQ(create(), -1);
    ASSERT_EQ(Man_init(), 0);
    ASSERT_EQ(create(), 0);
    EXPECT_EQ(Man_get(1), &gMen[1]); // the next free slot, without a line
    EXPECT_TRUE(Man_get(2) == nullptr && Man_get(-1) == nullptr);
    while (create() == 0) {
    }
    EXPECT_EQ(Man_get(100), nullptr); // no slot past the array
    EXPECT_EQ(
        log.messages(),
        (Lines{"Cannot get Man - core array is NULL!", "Man is NULL, error in main man array.",
               "id entered was too big! id:2, Alloc head:1, Max:100", "id entered was invalid: -1",
               "Out of room for Men!", "id entered was too big! id:100, Alloc head:100, Max:100"}));
    const Man& last = gMen[99];
    EXPECT_TRUE(gAllocHead == 100 && Man_getAliveCount() == 100 && last.id == 99 &&
                last.scanTimer == 11 && last.diagSpeed == static_cast<float>(2 * 0.707));
    Man_freeAll();
}

TEST(Population, FailuresLeaveTheCountersAsTheyWere) {
    Man_freeAll();
    Man_setMax(100);
    ASSERT_EQ(Man_init(), 0);
    ASSERT_EQ(create(), 0);
    LogCapture log;
    errno = EINVAL;
    Util_FailAllocAt(1); // the new man's list
    EXPECT_EQ(create(), -1);
    EXPECT_TRUE(errno == 0 && gAllocHead == 1 && Man_getAliveCount() == 1);
    ASSERT_EQ(create(), 0);
    EXPECT_EQ(gMen[1].id, 1);
    ASSERT_EQ(Man_init(), 0); // the leak check sees any list left behind
    EXPECT_TRUE(gAllocHead == 0 && Man_getAliveCount() == 0 && gMen[0].localList == nullptr);
    const Lines lines = log.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("errno: Yep) Out of memory."), std::string::npos);
    EXPECT_NE(lines[1].find("Man_init called when Man array was already initialised."),
              std::string::npos);
    Man_freeAll();
}
