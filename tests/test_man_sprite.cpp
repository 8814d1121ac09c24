#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>

#include "game/log.h"
#include "man/man.h"
#include "support/log_capture.h"

namespace {
Man walker(std::int32_t dir, std::int32_t frame, std::int32_t variant, std::int32_t team) {
    Man man{};
    man.x = 250.9f, man.y = 120.99f, man.health = man.maxHealth = 69;
    man.direction = dir, man.animFrame = frame, man.variant = variant, man.team = team;
    return man;
}
} // namespace

TEST(SpriteBox, CellsByLookTeamAndFrame) {
    const std::int32_t rows[][6] = {
        // direction, frame, variant, team, then the cell or -1
        {DIR_STAND, 7, 1, 3, 30, 51}, {DIR_DOWN_RIGHT, 3, 2, 7, 80, 119},
        {DIR_LEFT, 1, 0, 0, 10, 0},   {DIR_UP, 2, 2, 1, 60, 17},
        {DIR_UP, 4, 0, 0, -1, -1},    {DIR_UP, -1, 0, 0, -1, -1}};
    for (const auto& r : rows) {
        const Man man = walker(r[0], r[1], r[2], r[3]);
        char* text = nullptr; // a memory stream shows its text only once flushed
        std::size_t size = 0;
        std::FILE* const saved = gLog;
        gLog = open_memstream(&text, &size);
        SDL_Rect src = {-1, -1, 10, 17};
        std::int32_t x = -1, y = -1;
        const bool fails = r[4] < 0;
        EXPECT_EQ(Man_getSpriteBox(&man, &src, &x, &y), fails ? -1 : 0);
        EXPECT_TRUE(src.x == r[4] && src.y == r[5] && x == (fails ? -1 : 250) &&
                    y == (fails ? -1 : 120) && (size > 0) == fails)
            << "frame " << r[1];
        std::fclose(gLog);
        std::free(text);
        gLog = saved;
    }
}

TEST(HealthBox, WidthsPlacesAndRefusals) {
    const std::int32_t rows[][4] = {// health, width, then x and y of the bar
                                    {69, 20, 245, 117}, {68, 19, 245, 117}, {35, 10, 245, 117},
                                    {4, 1, 245, 117},   {3, 1, 245, 117},   {0, 1, 245, 117},
                                    {-1, -9, -9, -9},   {69, 20, -3, -2}};
    for (const auto& [health, width, x, y] : rows) {
        Man man = walker(DIR_UP, 0, 0, 0);
        man.health = health;
        man.x = x == -3 ? 2.5f : man.x, man.y = x == -3 ? 1.5f : man.y; // partly off the screen
        SDL_Rect src = {-9, -9, -9, -9}, dst = src;
        ASSERT_EQ(Man_getHealthBox(&man, &src, &dst), 0);
        EXPECT_TRUE(src.w == width && dst.w == width && dst.x == x && dst.y == y && dst.h == -9)
            << "health " << health;
    }
    Man man = walker(DIR_UP, 0, 0, 0);
    man.maxHealth = 0; // nothing to measure a bar by
    SDL_Rect rect = {-9, -9, -9, -9};
    LogCapture log;
    errno = EINVAL;
    EXPECT_EQ(Man_getHealthBox(&man, &rect, &rect), -1);
    EXPECT_TRUE(errno == 0 && rect.x == -9 && rect.w == -9);
    EXPECT_EQ(Man_getSpriteBox(nullptr, nullptr, &man.id, &man.id), -1);
    EXPECT_EQ(Man_getHealthBox(nullptr, nullptr, nullptr), -1);
    EXPECT_EQ(Man_getHealthBox(&man, &rect, nullptr), -1);
    const auto lines = log.lines();
    const auto messages = log.messages();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(lines[0].find("[ERROR] (src/man/sprite.cpp:Man_getHealthBox():"), std::string::npos);
    EXPECT_NE(lines[0].find("errno: Yep"), std::string::npos);
    EXPECT_EQ(std::vector(messages.begin() + 1, messages.end()),
              (std::vector<std::string>{"SDL_Rect param cannot be NULL!", "Man must not be NULL.",
                                        "Invalid SDL_Rect parameters - NULL ptr caught."}));
}
