#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "man/man.h"
#include "share/log.h"
#include "support/log_capture.h"

// Men are written with designated initialisers; the fields left out are zero.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

TEST(Drawing, SpriteCellsBarsAndRefusals) {
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
        struct stat written {}; // a failure's line reaches the file at once
        ASSERT_EQ(fstat(fileno(gLog), &written), 0);
        EXPECT_TRUE(src.x == cellX && src.y == cellY && at.x == (fails ? -1 : 250) &&
                    at.y == (fails ? -1 : 0) && (written.st_size > 0) == fails)
            << "frame " << frame;
    }
    const std::int32_t bars[][4] = {// health, width, then x and y of the bar (the last partly off
                                    // the screen), the man standing 5.9 right of it and 3.99 below
                                    {69, 20, 245, 117}, {68, 19, 245, 117}, {35, 10, 245, 117},
                                    {4, 1, 245, 117},   {3, 1, 245, 117},   {0, 1, 245, 117},
                                    {-1, -9, -9, -9},   {69, 20, -3, -2}};
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
    EXPECT_EQ(Man_getHealthBox(nullptr, nullptr, nullptr), -1);
    EXPECT_EQ(Man_getHealthBox(&man, &rect, nullptr), -1);
    EXPECT_EQ(log.lines()[0].rfind("[ERROR]", 0), 0u);
    EXPECT_EQ(log.messages(),
              (std::vector<std::string>{"Man#0 has no starting health to measure a bar by: 0",
                                        "SDL_Rect param cannot be NULL!", "Man must not be NULL.",
                                        "Invalid SDL_Rect parameters - NULL ptr caught."}));
}
