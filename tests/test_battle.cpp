// One seeded battle of ten minutes' play, spawned and drawn as the game
// does it, with the real bitmaps on a window of SDL's dummy driver, checked
// against tests/golden/battle.txt. Each line there covers a block of frames:
// a digest of every man's record after every frame, one of the pictures and
// one of the lines logged (without their source line numbers), then short
// digests per man and per field. On a mismatch the test names the first
// block that differs, the lowest man in it who differs (a change spreads to
// the men after him through the shared random draws) and the fields.
//
// The battle is the rules: remake the file only for a deliberate change of
// them, and say so in the commit:
//     SKIRMLINGS_REMAKE_GOLDEN=1 build-test/bin/test_battle
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
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
constexpr int FRAMES = (10 * 60 * 1000 + FRAME_TIME - 1) / FRAME_TIME; // ten minutes
constexpr int BLOCK = 100; // frames per line of the file
const std::string GOLDEN = SKIRMLINGS_SOURCE_DIR "/tests/golden/battle.txt";
const std::string FIELDS[] = {
    "x",         "y",         "health",    "maxHealth",    "strength",  "speed",     "diagSpeed",
    "scanTimer", "animFrame", "animTicks", "walkVariance", "walkTicks", "direction", "walkLength",
    "name",      "variant",   "team",      "reserved",     "localList", "dead",      "id"};
constexpr int FIELD_COUNT = std::size(FIELDS);
using Lines = std::vector<std::string>;

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
    // The top digits of the hash, in hex.
    [[nodiscard]] std::string hex(int digits) const {
        char out[17];
        std::snprintf(out, sizeof out, "%0*llx", digits,
                      static_cast<unsigned long long>(h >> (64 - 4 * digits)));
        return out;
    }
};

// A man's fields as words: floats by their bits, the name by its text and
// the list by all gMaxMen entries.
std::array<std::uint64_t, FIELD_COUNT> wordsOf(const Man& m) {
    const auto bits = [](float f) {
        std::uint32_t b = 0;
        std::memcpy(&b, &f, sizeof b);
        return std::uint64_t{b};
    };
    const auto w = [](std::int32_t v) { return static_cast<std::uint64_t>(v); };
    Digest name, list;
    name.add(m.name == nullptr ? "(null)" : std::string("'") + m.name);
    for (std::int32_t i = 0; m.localList != nullptr && i < gMaxMen; ++i) {
        list.add(w(m.localList[i]));
    }
    return {bits(m.x),
            bits(m.y),
            w(m.health),
            w(m.maxHealth),
            w(m.strength),
            w(m.speed),
            bits(m.diagSpeed),
            w(m.scanTimer),
            w(m.animFrame),
            w(m.animTicks),
            w(m.walkVariance),
            w(m.walkTicks),
            w(m.direction),
            w(m.walkLength),
            name.h,
            w(m.variant),
            w(m.team),
            w(m.reserved),
            list.h,
            w(m.dead),
            w(m.id)};
}

struct Block {
    Digest men[SPAWN_COUNT], fields[FIELD_COUNT], picture, log;

    void addMen() {
        for (std::int32_t id = 0; id < gAllocHead; ++id) {
            const auto words = wordsOf(gMen[id]);
            for (int f = 0; f < FIELD_COUNT; ++f) {
                men[id].add(words[f]);
                fields[f].add(words[f]);
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
                picture.add(two & 0x00FFFFFF00FFFFFFu);
            }
        }
    }
    // "frames men picture log per-man per-field".
    [[nodiscard]] std::string line(int first, int last) const {
        Digest all;
        std::string perMan, perField;
        for (const Digest& man : men) {
            all.add(man.h);
            perMan += man.hex(2);
        }
        for (const Digest& field : fields) {
            perField += field.hex(2);
        }
        return std::to_string(first) + "-" + std::to_string(last) + " " + all.hex(16) + " " +
               picture.hex(16) + " " + log.hex(16) + " " + perMan + " " + perField + "\n";
    }
};

// What differs first between two records of the battle; "" when nothing.
std::string firstDifference(const std::string& want, const std::string& got) {
    std::istringstream wants(want), gots(got);
    std::string a, b;
    while (a == b) {
        a.clear();
        b.clear();
        std::getline(wants, a);
        std::getline(gots, b);
        if (a.empty() && b.empty()) {
            return "";
        }
    }
    std::istringstream as(a), bs(b);
    std::string x[6], y[6];
    for (int i = 0; i < 6; ++i) {
        as >> x[i];
        bs >> y[i];
    }
    const auto differs = [&](int column, std::size_t i) {
        return x[column].substr(std::min(2 * i, x[column].size()), 2) !=
               y[column].substr(std::min(2 * i, y[column].size()), 2);
    };
    std::string said = "frames " + x[0] + " differ first:";
    if (x[1] != y[1]) {
        std::size_t man = 0;
        while (man < SPAWN_COUNT && !differs(4, man)) {
            ++man;
        }
        said += " man " + std::to_string(man) + " in";
        for (int f = 0; f < FIELD_COUNT; ++f) {
            said += differs(5, static_cast<std::size_t>(f)) ? " " + FIELDS[f] : "";
        }
    }
    said += x[2] != y[2] ? ", the picture" : "";
    said += x[3] != y[3] ? ", the log" : "";
    return said + "\n  recorded: " + a + "\n  now:      " + b;
}

TEST(Battle, TenMinutesOfPlayFollowTheRecordedBattle) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDL_Window* wnd = nullptr;
    SDL_Surface *screen = nullptr, *field = nullptr, *sheet = nullptr;
    ASSERT_EQ(init_window(&wnd, &screen), 0);
    ASSERT_EQ(load_image(&field, "back2.bmp"), 0);
    ASSERT_EQ(load_image(&sheet, "men.bmp"), 0);
    ASSERT_EQ(screen->format->BytesPerPixel, 4);
    SDL_SetColorKey(sheet, SDL_TRUE, SDL_MapRGB(sheet->format, 0, 255, 0));
    LogCapture log;
    ASSERT_EQ(Man_init(), 0);
    Util_SeedRandWith(SEED);
    spawn_men();
    FrameRects rects = frame_rects_start();
    Block block;
    block.addMen(); // the spawn counts with the first block
    std::string got = "# frames men picture log per-man per-field: see tests/test_battle.cpp\n",
                stray;
    std::size_t logged = 0;
    long read = 0;
    for (int frame = 1; frame <= FRAMES; ++frame) {
        ASSERT_EQ(draw_frame(screen, field, sheet, &rects), 0) << "frame " << frame;
        block.addMen();
        block.addPicture(screen);
        // Whether all that was logged has reached the file: a scan flushes.
        struct stat file {};
        ASSERT_EQ(fstat(fileno(gLog), &file), 0);
        const long written = std::ftell(gLog);
        block.log.add(file.st_size == written);
        const std::vector<std::string> lines = written > read ? log.lines() : Lines{};
        read = written;
        for (; logged < lines.size(); ++logged) {
            std::string line = lines[logged];
            const std::size_t at = line.find("():") + 3;
            line.erase(at, line.find(':', at) - at);
            block.log.add(line);
            if (stray.empty() && !line.ends_with("has died. Blurgh!")) {
                stray = "frame " + std::to_string(frame) + ": " + line;
            }
        }
        if (frame % BLOCK == 0 || frame == FRAMES) {
            got += block.line(frame - (frame - 1) % BLOCK, frame);
            block = Block{};
        }
    }
    EXPECT_EQ(stray, "") << "nothing but deaths should be logged";
    Man_freeAll();
    SDL_FreeSurface(field);
    SDL_FreeSurface(sheet);
    SDL_DestroyWindow(wnd);
    SDL_Quit();
    if (std::getenv("SKIRMLINGS_REMAKE_GOLDEN") != nullptr) {
        writeFile(GOLDEN, got);
        ASSERT_EQ(readFile(GOLDEN), got) << "could not write " << GOLDEN;
        std::printf("remade %s\n", GOLDEN.c_str());
        return;
    }
    const std::string want = readFile(GOLDEN);
    ASSERT_FALSE(want.empty()) << GOLDEN << " is missing";
    EXPECT_EQ(firstDifference(want, got), "");
}

} // namespace
