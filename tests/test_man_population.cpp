#include <gtest/gtest.h>

#include <cerrno>

#include "man/man.h"
#include "share/alloc.h"
#include "support/log_capture.h"

TEST(Population, FillsUpFailsCleanlyAndStartsAgain) {
    LogCapture log;
    EXPECT_EQ(Man_create(250, 150, 40, 4, 2, 1, 2, 30, "Billy"), -1);
    ASSERT_EQ(Man_init(), 0);
    ASSERT_EQ(Man_create(250, 150, 40, 4, 2, 1, 2, 30, "Billy"), 0);
    errno = EINVAL;
    Util_FailAllocAt(1); // the new man's list
    EXPECT_EQ(Man_create(250, 150, 40, 4, 2, 1, 2, 30, "Billy"), -1);
    EXPECT_TRUE(errno == 0 && gAllocHead == 1 && Man_getAliveCount() == 1);
    // The next free slot can be had, without a line; the one after it cannot.
    EXPECT_TRUE(Man_get(1) == &gMen[1] && Man_get(2) == nullptr);
    while (Man_create(250, 150, 40, 4, 2, 1, 2, 30, "Billy") == 0) {
    }
    EXPECT_TRUE(Man_get(100) == nullptr && Man_getAliveCount() == 100); // no slot past the array
    ASSERT_EQ(Man_init(), 0); // the leak check sees any list left behind
    EXPECT_TRUE(gAllocHead == 0 && Man_getAliveCount() == 0 && gMen[0].localList == nullptr);
    EXPECT_EQ(log.messages(),
              (std::vector<std::string>{
                  "Cannot get Man - core array is NULL!", "Man is NULL, error in main man array.",
                  "Out of memory.", "id entered was too big! id:2, Alloc head:1, Max:100",
                  "Out of room for Men!", "id entered was too big! id:100, Alloc head:100, Max:100",
                  "Man_init called when Man array was already initialised."}));
    Man_freeAll();
}
