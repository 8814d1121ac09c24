// What a player sees: the real game's window photographed on a private X
// server, compared with the bitmaps it draws from.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "support/build.h"
#include "xdrive/xvfb.h"

namespace {

constexpr std::uint32_t PURE_GREEN = 0x00FF00;

TEST(Screen, ShowsTheFieldAndTheMenWithTheirBarsOverTheirHeads) {
    const Picture field = readBmp(SKIRMLINGS_BINARY_DIR "/res/back2.bmp");
    const Picture sheet = readBmp(SKIRMLINGS_BINARY_DIR "/res/men.bmp");
    ASSERT_FALSE(field.empty());
    ASSERT_FALSE(sheet.empty());
    Xvfb x;
    ASSERT_TRUE(x.ok());
    TempDir work;
    GameOnScreen game(x, builtGame(), work.path());
    ASSERT_TRUE(game.waitForWindow()) << game.output();
    const auto shown = Clock::now();
    ASSERT_TRUE(game.waitForPictureChange());
    // Freeze a frame a second or so in; how long the men walked bounds how
    // far they can be from the square they were spawned in.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    ASSERT_TRUE(game.key("p"));
    ASSERT_TRUE(waitFor([&] { return !game.logOpen(); }));
    const auto walked = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - shown);
    const int reach = 3 * static_cast<int>(walked.count() / 33 + 2);
    const Picture shot = game.screenshot();
    EXPECT_EQ(game.quit(), 0);
    ASSERT_EQ(shot.width, 600);
    ASSERT_EQ(shot.height, 400);

    int changed = 0;
    for (int y = 0; y < 400; ++y) {
        for (int xx = 0; xx < 600; ++xx) {
            ASSERT_NE(shot.at(xx, y), PURE_GREEN) << "at " << xx << "," << y;
            if (shot.at(xx, y) == field.at(xx, y)) {
                continue;
            }
            ++changed;
            // A man's top-left corner starts in 200..299 x 100..199; his bar
            // reaches 5 left of it and 3 above, his body 10 right and 17 down.
            ASSERT_TRUE(xx >= 195 - reach && xx < 314 + reach && y >= 97 - reach && y < 217 + reach)
                << "a stray pixel at " << xx << "," << y << " (reach " << reach << ")";
        }
    }
    EXPECT_GT(changed, 100 * 10 * 4) << "a hundred men should show";

    // The drawn pixels of each of the sheet's cells.
    struct Dot {
        int dx, dy;
        std::uint32_t colour;
    };
    std::vector<std::vector<Dot>> cells;
    for (int top = 0; top < 136; top += 17) {
        for (int left = 0; left < 90; left += 10) {
            cells.emplace_back();
            for (int dy = 0; dy < 17; ++dy) {
                for (int dx = 0; dx < 10; ++dx) {
                    if (sheet.at(left + dx, top + dy) != PURE_GREEN) {
                        cells.back().push_back({dx, dy, sheet.at(left + dx, top + dy)});
                    }
                }
            }
        }
    }
    // How much of the best-fitting cell shows at a man's corner (mx, my).
    const auto bestFit = [&](int mx, int my) {
        double best = 0;
        for (const std::vector<Dot>& cell : cells) {
            int same = 0;
            for (const Dot& d : cell) {
                same += shot.at(mx + d.dx, my + d.dy) == d.colour ? 1 : 0;
            }
            best = std::max(best, static_cast<double>(same) / static_cast<double>(cell.size()));
        }
        return best;
    };

    // A bar begins with the strip's first column: its top colour over its
    // bottom colour, where the column before it is not the same. Three rows
    // under it and five to the right, a man's
    // cell is drawn (partly hidden, maybe, by men drawn after him).
    const std::uint32_t barTop = sheet.at(0, 136);
    const std::uint32_t barBottom = sheet.at(0, 137);
    int bars = 0;
    int withMan = 0;
    for (int y = 0; y + 3 + 17 <= 400; ++y) {
        for (int xx = 0; xx + 5 + 10 <= 600; ++xx) {
            const auto barStart = [&](int at) {
                return shot.at(at, y) == barTop && shot.at(at, y + 1) == barBottom;
            };
            if (barStart(xx) && (xx == 0 || !barStart(xx - 1)) && field.at(xx, y) != barTop) {
                ++bars;
                withMan += bestFit(xx + 5, y + 3) >= 0.6 ? 1 : 0;
            }
        }
    }
    EXPECT_GE(bars, 20) << "most bars should show even where men crowd";
    EXPECT_GE(withMan * 3, bars * 2) << withMan << " of " << bars << " bars stand over a man";
}

} // namespace
