// One seeded battle of ten minutes' play, spawned and drawn as the game
// does it, with the real bitmaps on a window of SDL's dummy driver, checked
// against tests/golden/battle.txt. Each line there covers a block of frames:
// digests of the pictures, of the lines logged (without their source line
// numbers) and of the count of the living, then short digests of each man's
// record and of each field over all men, after every frame. On a mismatch
// the test names the first block that differs and what differs in it: the
// lowest man (a change spreads to the men after him through the shared
// random draws) and the fields.
//
// The battle is the rules: remake the file only for a deliberate change of
// them, and say so in the commit:
//     SKIRMLINGS_REMAKE_GOLDEN=1 build-test/bin/test_battle
#include <gtest/gtest.h>

#include <cstring>

#include "game/game.h"
#include "game/image.h"
#include "man/man.h"
#include "share/log.h"
#include "share/share_utils.h"
#include "support/files.h"
#include "support/log_capture.h"

namespace {
constexpr std::uint32_t SEED = 20240607u;
constexpr int BLOCK = 100;          // frames per line of the file
constexpr int FRAMES = 182 * BLOCK; // ten minutes and a few frames more
static_assert(FRAMES * FRAME_TIME >= 10 * 60 * 1000);
const std::string GOLDEN = SKIRMLINGS_SOURCE_DIR "/tests/golden/battle.txt";

// A running hash. Each step is a bijection of its state, so a single
// changed word always shows.
struct Digest {
    std::uint64_t h = 0x243F6A8885A308D3u;
    void add(std::uint64_t word) {
        h = (h ^ word) * 0x9E3779B97F4A7C15u;
        h ^= h >> 29;
    }
    void add(const std::string& text) {
        for (const char c : text) {
            add(static_cast<unsigned char>(c));
        }
        add(0x100u);
    }
    [[nodiscard]] std::string hex(int digits) const { // the top digits
        char out[17];
        std::snprintf(out, sizeof out, "%0*llx", digits,
                      static_cast<unsigned long long>(h >> (64 - 4 * digits)));
        return out;
    }
};

// Each field of a man as one word: a float by its bits, the name by its
// text and the list by all gMaxMen entries.
std::uint64_t word(std::int32_t v) {
    return static_cast<std::uint64_t>(v);
}
std::uint64_t word(float f) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}
std::uint64_t word(const char* name) {
    Digest d;
    d.add(name == nullptr ? "(null)" : std::string("'") + name);
    return d.h;
}
std::uint64_t word(const std::int32_t* list) {
    Digest d;
    for (std::int32_t i = 0; list != nullptr && i < gMaxMen; ++i) {
        d.add(word(list[i]));
    }
    return d.h;
}
// clang-format off
#define MAN_FIELDS F(x) F(y) F(health) F(maxHealth) F(strength) F(speed) F(diagSpeed) \
    F(scanTimer) F(animFrame) F(animTicks) F(walkVariance) F(walkTicks) F(direction) \
    F(walkLength) F(name) F(variant) F(team) F(reserved) F(localList) F(dead) F(id)
// clang-format on
#define F(field) #field,
const std::string FIELDS[] = {MAN_FIELDS};
#undef F

// The file's columns after the frames: digests of the pictures, the log, the
// count of the living, each man and each field.
std::vector<std::string> columns() {
    std::vector<std::string> names = {"the picture", "the log", "the living's count"};
    for (int id = 0; id < SPAWN_COUNT; ++id) {
        names.push_back("man " + std::to_string(id));
    }
    names.insert(names.end(), std::begin(FIELDS), std::end(FIELDS));
    return names;
}
const std::vector<std::string> COLUMNS = columns();
constexpr std::size_t PICTURE = 0, LOG = 1, LIVING = 2, MEN_AT = 3,
                      FIELDS_AT = MEN_AT + SPAWN_COUNT;

struct Block {
    std::vector<Digest> d = std::vector<Digest>(COLUMNS.size());

    void addMen() {
        d[LIVING].add(word(Man_getAliveCount()));
        for (std::int32_t id = 0; id < gAllocHead; ++id) {
            const Man& m = gMen[id];
#define F(field) word(m.field),
            const std::uint64_t words[] = {MAN_FIELDS};
#undef F
            for (std::size_t f = 0; f < std::size(words); ++f) {
                d[MEN_AT + id].add(words[f]);
                d[FIELDS_AT + f].add(words[f]);
            }
        }
    }
    // Colours only: the byte beside them in a pixel is not the picture's.
    void addPicture(const SDL_Surface* screen) {
        for (int y = 0; y < screen->h; ++y) {
            const auto* row = static_cast<const std::uint8_t*>(screen->pixels) + y * screen->pitch;
            for (int x = 0; x < screen->w; x += 2) {
                std::uint64_t two = 0;
                std::memcpy(&two, row + 4 * x, sizeof two);
                d[PICTURE].add(two & 0x00FFFFFF00FFFFFFu);
            }
        }
    }
    [[nodiscard]] std::string line(int last) const {
        std::string out = std::to_string(last - BLOCK + 1) + "-" + std::to_string(last);
        for (std::size_t i = 0; i < d.size(); ++i) {
            out += " " + d[i].hex(i < MEN_AT ? 16 : 2);
        }
        return out + "\n";
    }
};

// What differs first between two records of the battle; "" when nothing.
std::string firstDifference(const std::string& want, const std::string& got) {
    std::istringstream wants(want), gots(got);
    std::string a, b;
    while (a == b) {
        const bool wantMore = !!std::getline(wants, a), gotMore = !!std::getline(gots, b);
        if (!wantMore && !gotMore) {
            return "";
        }
    }
    std::istringstream as(a), bs(b);
    const auto next = [](std::istringstream& in) {
        std::string token;
        in >> token;
        return token;
    };
    std::string said = "frames " + next(as) + " differ first in";
    (void)next(bs);        // the same frames
    bool manNamed = false; // later men differ through the random draws they share
    for (const std::string& column : COLUMNS) {
        const bool man = column.starts_with("man ");
        if (next(as) != next(bs) && !(man && manNamed)) {
            said += (said.ends_with(" in") ? " " : ", ") + column;
            manNamed = manNamed || man;
        }
    }
    return said + "\n  recorded: " + a + "\n  now:      " + b;
}

TEST(Battle, TenMinutesOfPlayFollowTheRecordedBattle) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDL_Window* wnd = nullptr;
    SDL_Surface *screen = nullptr, *field = nullptr, *sheet = nullptr;
    ASSERT_EQ(init_window(&wnd, &screen) + load_image(&field, "back2.bmp") +
                  load_image(&sheet, "men.bmp"),
              0);
    // The bitmaps are stored in the window's own pixel layout: drawing them
    // needs no conversion.
    ASSERT_TRUE(screen->format->BytesPerPixel == 4 &&
                field->format->format == screen->format->format &&
                sheet->format->format == screen->format->format);
    SDL_SetColorKey(sheet, SDL_TRUE, SDL_MapRGB(sheet->format, 0, 255, 0));
    LogCapture log;
    ASSERT_EQ(Man_init(), 0);
    Util_SeedRandWith(SEED);
    spawn_men();
    FrameRects rects = frame_rects_start();
    Block block;
    block.addMen(); // the spawn counts with the first block
    std::string got = "# see tests/test_battle.cpp\n";
    std::size_t logged = 0;
    for (int frame = 1; frame <= FRAMES; ++frame) {
        ASSERT_EQ(draw_frame(screen, field, sheet, &rects), 0) << "frame " << frame;
        block.addMen();
        block.addPicture(screen);
        // Whether all that was logged has reached the file (a scan flushes),
        // then what was logged, less the source line numbers.
        block.d[LOG].add(flushedBytes() == std::ftell(gLog));
        if (std::ftell(gLog) > static_cast<long>(logged)) {
            const std::string text = log.text();
            std::string fresh = text.substr(logged);
            for (std::size_t at = fresh.find("():"); at != std::string::npos;
                 at = fresh.find("():", at + 3)) {
                fresh.erase(at + 3, fresh.find(':', at + 3) - at - 3);
            }
            block.d[LOG].add(fresh);
            logged = text.size();
        }
        if (frame % BLOCK == 0) {
            got += block.line(frame);
            block = Block{};
        }
    }
    Man_freeAll();
    SDL_FreeSurface(field);
    SDL_FreeSurface(sheet);
    SDL_DestroyWindow(wnd);
    SDL_Quit();
    if (std::getenv("SKIRMLINGS_REMAKE_GOLDEN") != nullptr) {
        writeFile(GOLDEN, got);
        ASSERT_EQ(readFile(GOLDEN), got) << "could not write " << GOLDEN;
        return;
    }
    const std::string want = readFile(GOLDEN);
    ASSERT_FALSE(want.empty()) << GOLDEN << " is missing";
    EXPECT_EQ(firstDifference(want, got), "");
}

} // namespace
