// What every operation promises where a battle never goes: each refusal,
// failed allocation and odd state, one row apiece. A row makes its call from
// a fresh start (no population, no resource directory, the game said to be in
// /opt/game/bin/, a log of its own, errno set) and tells what it gave and
// what its slots hold. Then come the lines it wrote (level letter, + or - for
// errno set or clear as each was written, message), "flushed" when they
// reached the file, and errno when it is 0 or changed. A row with a sweep is
// run again with each allocation of its call failing in turn: F must give
// what `fail` says, S what no failure gives, s the same with a smaller
// capacity (a fallback). The leak check sees what any of them leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <regex>

#include "game/game.h"
#include "game/image.h"
#include "man/man.h"
#include "share/alloc.h"
#include "share/share_utils.h"
#include "support/log_capture.h"

// Men are written with designated initialisers; the fields left out are zero.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {
long gArmAt, gArmCount, gCalls; // allocations the call must fail (from, how many); made
const char* gBase;              // what the executable's directory is said to be
Man gM;                         // a man outside the population
FrameRects gRects;              // a frame's rectangles
std::int32_t gCount;            // a count a call writes
bstring gSlot, gOld;            // a lookup's output slot, and what it held on entry
char gAbc[] = "abc", gOut[200];
// Strings that are never released: no data, capacity below length, a
// negative length, a length at the top of the range.
BstringRecord gHollow{8, 0, nullptr}, gBent{2, 3, gAbc}, gNegative{8, -1, gAbc},
    gHuge{INT_MAX, INT_MAX - 2, gAbc};
// A row arms the failure just before the call it sweeps, so that the
// allocations of its setup are not counted.
const auto arm = [] { Util_FailAllocAt(gArmAt, gArmCount); };
const auto failing = [](long from, long count = 1) { gArmAt = from, gArmCount = count, arm(); };
const auto fmt = [](const char* format, auto... args) {
    return std::snprintf(gOut, sizeof gOut, format, args...), std::string(gOut);
};
std::string show(const std::string& s) {
    return s;
}
std::string show(const void* p) {
    return p == nullptr ? "null" : "ptr";
}
std::string show(int n) {
    return std::to_string(n);
}
// The result, then what each of after tells once the call is done.
const auto then = [](auto result, auto... after) { return (show(result) + ... + (" " + after())); };
// f of each x in turn.
const auto seq = [](auto f, auto... xs) {
    std::string seen;
    ((seen += show(f(xs)) + " "), ...);
    return seen;
};
// Whether a slot is null, holds what it held, or something new.
const auto slot = [](const void* now, const void* was) {
    return now == nullptr ? " null" : now == was ? " old" : " new";
};
// A string's bytes (NUL as @), * when no NUL follows them, # its capacity.
std::string text(const BstringRecord* s) {
    std::string t = s == nullptr ? "null" : std::string(s->data, std::size_t(s->length));
    std::replace(t.begin(), t.end(), '\0', '@');
    const bool ended = s == nullptr || (s->length < s->capacity && s->data[s->length] == '\0');
    return s == nullptr ? t : t + (ended ? "#" : "*#") + show(s->capacity);
}
const auto path = [] { return text(RESOURCE_PATH); };
const auto own = [](bstring made) {
    const std::string seen = text(made);
    return Bstring_destroy(made), seen;
};
// op on a new string holding start: what it gave, then the string.
const auto on = [](const std::string& start, auto op) {
    bstring s = Bstring_fromCstr(start.c_str());
    arm();
    std::string seen = show(op(s)) + " ";
    return seen + own(s);
};
// A pattern or replacement: a text outside any string, or bytes of s's own.
struct Span : BstringRecord {
    Span(char* at, int n) : BstringRecord{n + 1, n, at} {}
    Span(const char* t) : Span(const_cast<char*>(t), int(std::strlen(t))) {}
};
const Span gName("men.bmp"), gNul(const_cast<char*>("a\0b"), 3);
const auto replace = [](bstring s, Span pattern, Span by, int pos = 0) {
    return Bstring_findReplace(s, &pattern, &by, pos);
};
const auto find = [](Span s, int pos, Span pattern) { return Bstring_find(&s, pos, &pattern); };
// The resource directory made from a base path.
const auto dir = [](const char* base) {
    File_ForgetResourcePath();
    gBase = base;
    return then(File_InitialiseResourcePath(), path);
};
const auto old = [] { gSlot = gOld = Bstring_fromCstr("old"); };
// A lookup's result, then its slot. A string handed in is the caller's
// unless the lookup replaced it.
std::string look(bstring got) {
    std::string seen = got == nullptr ? "null " : got == gSlot ? "slot " : "other ";
    seen += gSlot != nullptr && gSlot == gOld ? "old" : text(gSlot);
    Bstring_destroy(gSlot != nullptr && gSlot != gOld ? gSlot : nullptr);
    Bstring_destroy(gSlot == nullptr || gSlot == gOld ? gOld : nullptr);
    return seen;
}
// The conversion into a slot holding an old buffer, which it must release.
std::string convert(const BstringRecord* b) {
    auto* out = static_cast<char*>(std::malloc(1));
    arm();
    std::string seen = show(Util_CString_Convert(b, &out)) + " ";
    seen += out == nullptr ? "null" : std::string(out, std::size_t(Bstring_length(b)) + 1);
    std::replace(seen.begin(), seen.end(), '\0', '@');
    return std::free(out), seen;
}
// load_image into a slot that holds something already.
std::string image(const char* name) {
    SDL_Surface* pic = reinterpret_cast<SDL_Surface*>(&gM);
    arm();
    std::string seen = show(load_image(&pic, name));
    seen += slot(pic, &gM);
    return SDL_FreeSurface(pic != (void*)&gM ? pic : nullptr), seen;
}
// init_window under a video driver, its slots holding what they are given.
std::string window(const char* driver, void* wnd, void* screen) {
    setenv("SDL_VIDEODRIVER", driver, 1);
    auto* w = static_cast<SDL_Window*>(wnd);
    auto* s = static_cast<SDL_Surface*>(screen);
    const int rc = init_window(&w, &s);
    errno = rc == 0 ? EINVAL : errno; // SDL's own calls may leave errno set
    // A new window's title, and whether it may be resized.
    const std::string made =
        w == wnd || w == nullptr
            ? ""
            : fmt(" %s %x", SDL_GetWindowTitle(w), SDL_GetWindowFlags(w) & SDL_WINDOW_RESIZABLE);
    SDL_DestroyWindow(w != wnd ? w : nullptr);
    return SDL_Quit(), show(rc) + slot(w, wnd) + slot(s, screen) + made;
}
const auto create = [] { return Man_create(250, 150, 40, 4, 2, 1, 0, 30, "Billy"); };
const auto men = [](int n) {
    for (Man_init(); n > 0; --n) {
        create();
    }
};
const auto pop = [] { return fmt("%s %d/%d", gMen ? "men" : "none", gAllocHead, gAliveCount); };
const auto me = [] {
    return fmt("%g,%g d%d w%d h%d", gM.x, gM.y, gM.direction, gM.walkTicks, gM.health);
};
// The rectangles' fields the queries write: the body's source and place,
// the bar's width and place.
const auto rects = [] {
    const auto& [a, b, c, d] = gRects;
    return fmt("%d,%d %d,%d %d %d,%d,%d", a.x, a.y, b.x, b.y, c.w, d.x, d.y, d.w);
};
const auto draw = [] { return draw_frame(nullptr, nullptr, nullptr, &gRects); };

struct Row {
    const char* call;
    std::string (*run)();
    std::string want, sweep = "", fail = "";
};

// clang-format off
#define ROW(call, ...) Row{#call, [] { return show(call); }, __VA_ARGS__}
const Man START{.x = 300, .y = 200, .health = 40, .maxHealth = 40, .speed = 2, .scanTimer = 11, .direction = DIR_STAND, .walkLength = 50, .variant = 1, .team = 2};
const std::string X31(31, 'x'), X62(62, 'x'), X64(64, 'x'), X128(128, 'x');
const std::string SLOTS = "W+ gWnd and gScreen parameters should both be NULL - check initialisation.", NO_BASE = "E+ SDL could not setup the base path on this system.";
const Row ROWS[] = {
    // The session log: ERROR clears errno, written or not; the others leave it.
    ROW([] { Log_Info("a"); Log_Warn("b %d", 2); Log_Error("c"); Log_Info("d"); return 0; }(), "0; I+ a; W+ b 2; E+ c; I- d; errno 0"),
    ROW([] { gLog = nullptr; Log_Warn("lost"); Log_flush(); Log_close(); return 0; }(), "0"),
    ROW([] { gLog = nullptr; Log_Error("lost"); return 0; }(), "0; errno 0"),
    ROW(then(Log_open(""), [] { return show(gLog); }), "-1 null"),

    // The window, a slot of which may hold something already, and the frame.
    ROW(window("dummy", nullptr, nullptr), "0 new new Skirmlings! 0"),
    ROW(window("dummy", &gM, nullptr), "0 new new Skirmlings! 0; " + SLOTS),
    ROW(window("dummy", nullptr, &gM), "0 new new Skirmlings! 0; " + SLOTS),
    ROW(window("no-such-driver", &gM, nullptr), "-1 old null; " + SLOTS + "; E+ Failed to initialise SDL properly. Err#-1> no-such-driver not available; errno 0"),
    ROW(draw(), "-1; E+ Cannot get the list of Men, NULL ptr.; E- Failed to update, list was NULL.; errno 0"),
    ROW((men(1), gMen[0].direction = 9, then(draw(), rects)), "0 30,0 250,150 20 245,147,20; E+ Invalid direction passed to move..; E- Could not move Man!; W- Man update failed.; errno 0"),
    ROW((men(1), gMen[0].direction = 0, gMen[0].walkLength = 99, gMen[0].animFrame = 7, draw()), "-1; E+ Invalid animation frame number :(; E- Could not get image data from Man#0; flushed; errno 0"),
    ROW((men(1), gMen[0].maxHealth = 0, draw()), "-1; E+ Man#0 has no starting health to measure a bar by: 0; E- Could not get health bar data from Man#0; errno 0"),

    // Bitmap loading: the slot is untouched until the whole path is opened.
    ROW(image("no.bmp"), "-1 null; I+ Loading image: /opt/game/res/no.bmp; E+ Could not load BMP: Couldn't open /opt/game/res/no.bmp; errno 0", "FFFSFSSF", "-1 old"),
    ROW((gBase = SKIRMLINGS_SOURCE_DIR "/", image("LICENSE")), "-1 null; I+ Loading image: " SKIRMLINGS_SOURCE_DIR "/LICENSE; E+ Could not load BMP: File is not a Windows BMP file; errno 0"),
    ROW((gBase = nullptr, image("men.bmp")), "-1 old; " + NO_BASE + "; E- Resource data path could not be initialised D:; E- Could make path from cstring.; errno 0"),
    ROW((File_InitialiseResourcePath(), failing(3, 3), image("men.bmp")), "-1 old; E+ Error appending to resource path. Given dir: men.bmp; E- Could make path from cstring.; errno 0"),
    ROW((File_InitialiseResourcePath(), failing(4), image("men.bmp")), "-1 old; E+ Could not allocate memory for the cstring copy.; E- Failed to convert bstring to char * string.; errno 0"),

    // The population.
    ROW((failing(1), then(Man_init(), pop)), "-1 none 0/0; E+ Out of memory.; errno 0"),
    ROW((men(2), then(Man_init(), pop)), "0 men 0/0; W+ Man_init called when Man array was already initialised."),
    ROW(Man_get(0), "null; E+ Cannot get Man - core array is NULL!; errno 0"),
    ROW((men(1), Man_get(-1)), "null; E+ id entered was invalid: -1; errno 0"),
    ROW((men(1), Man_get(2)), "null; E+ id entered was too big! id:2, Alloc head:1, Max:100; errno 0"),
    ROW((men(1), Man_get(1) == &gMen[1]), "1"),
    ROW((Man_setMax(2), men(2), Man_get(2)), "null; E+ id entered was too big! id:2, Alloc head:2, Max:2; errno 0"),
    ROW(then(Man_getList(&gCount), [] { return show(gCount); }), "null -7; E+ Cannot get the list of Men, NULL ptr.; errno 0"),
    ROW((men(3), Man_die(&gMen[1]), then(Man_getList(&gCount) == gMen, [] { return show(gCount); }, pop)), "1 3 men 3/2; I+ Billy#1 has died. Blurgh!"),
    ROW((men(1), Man_getList(nullptr) == gMen), "1"),
    ROW(then(create(), pop), "-1 none 0/0; E+ Cannot get Man - core array is NULL!; E- Man is NULL, error in main man array.; flushed; errno 0"),
    ROW((Man_setMax(2), men(2), then(create(), pop)), "-1 men 2/2; E+ Out of room for Men!; flushed; errno 0"),
    // The slot a failed creation leaves free goes to the next man.
    ROW((men(1), failing(1), create(), then(create(), pop, [] { return show(gMen[1].id); })), "0 men 2/2 1; E+ Out of memory.; flushed; errno 0"),
    ROW((men(2), Man_freeAll(), pop()), "none 0/0"),

    // Behaviour.
    ROW(Man_update(nullptr), "-1; E+ Cannot pass NULL man to update.; W- Man update failed.; errno 0"),
    ROW((gM.direction = 9, then(Man_update(&gM), me)), "-1 300,200 d9 w0 h40; E+ Invalid direction passed to move..; E- Could not move Man!; W- Man update failed.; errno 0"),
    ROW((gM.direction = 0, gM.scanTimer = -1, then(Man_update(&gM), me)), "-1 298,200 d0 w0 h40; E+ Man's Local List is NULL.; E- Failed to get neighbors.; W- Man update failed.; errno 0"),
    ROW((men(2), Man_setMax(1), gMen[0].scanTimer = -1, Man_update(&gMen[0])), "-1; E+ id entered was too big! id:1, Alloc head:2, Max:1; E- Man ID:1 is NULL, abort.; E- Failed to get neighbors.; W- Man update failed.; errno 0"),
    ROW(Man_move(nullptr), "-1; E+ Cannot pass a Man that is NULL.; errno 0"),
    ROW((gM.direction = -1, then(Man_move(&gM), me)), "-1 300,200 d-1 w0 h40; E+ Invalid direction passed to move..; errno 0"),
    ROW(then(Man_getNeighbors(nullptr, &gCount), [] { return show(gCount); }), "-1 -7; E+ Cannot pass a Man that is NULL.; errno 0"),
    ROW(then(Man_getNeighbors(&gM, &gCount), [] { return show(gCount); }), "-1 -7; E+ Man's Local List is NULL.; errno 0"),
    ROW(Man_strike(&gM, nullptr), "-1; E+ Must pass valid Men to function!; errno 0"),
    ROW((gM.scanTimer = 0, then(Man_strike(nullptr, &gM), me)), "-1 300,200 d8 w0 h40; E+ Must pass valid Men to function!; errno 0"),
    ROW((men(1), then(Man_die(nullptr), pop)), "-1 men 1/1; E+ Cannot kill what does not exist.; errno 0"),
    ROW((men(2), gMen[1].name = nullptr, then(Man_die(&gMen[1]), pop)), "0 men 2/1; I+ Man#1 has died. Blurgh!"),
    // The random draw's known sequence: outputs 7584, 19164, ... of the
    // generator from 12345, less about two for n = 32766.
    ROW((Util_SeedRandWith(12345u), seq(Util_Rand, 32766, 32766, 32766, 32766, 32766, 32766, 32766, 32766, 1)), "7582 19162 25793 22123 5826 23403 27475 5411 0 "),
    ROW(seq(Man_reverseDirection, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9), "8 1 0 3 2 7 6 5 4 8 8 "),
    // A step that would touch the field's edge turns him back instead, and halves what is left of his walk.
    ROW(seq([](int d) { gM.direction = d, (d < 2 ? gM.x : gM.y) = d == 1 ? 587 : d == 3 ? 380 : 3; return Man_move(&gM), me(); }, 0, 1, 2, 3), "3,200 d1 w25 h40 587,200 d0 w37 h40 587,3 d3 w43 h40 587,380 d2 w46 h40 "),

    // Where a man is drawn from; nothing is written on a failure.
    ROW(then(Man_getSpriteBox(&gM, nullptr, &gRects.spriteDst.x, &gRects.spriteDst.y), rects), "-1 0,0 0,0 0 0,0,0; E+ SDL_Rect param cannot be NULL!; flushed; errno 0"),
    ROW(then(Man_getSpriteBox(nullptr, &gRects.spriteSrc, &gRects.spriteDst.x, &gRects.spriteDst.y), rects), "-1 0,0 0,0 0 0,0,0; E+ Man nust not be NULL!; flushed; errno 0"),
    ROW(Man_getSpriteBox(nullptr, nullptr, &gRects.spriteDst.x, &gRects.spriteDst.y), "-1; E+ SDL_Rect param cannot be NULL!; flushed; errno 0"),
    ROW((gM.direction = 2, gM.animFrame = 4, then(Man_getSpriteBox(&gM, &gRects.spriteSrc, &gRects.spriteDst.x, &gRects.spriteDst.y), rects)), "-1 0,0 0,0 0 0,0,0; E+ Invalid animation frame number :(; flushed; errno 0"),
    ROW((gM.direction = 2, gM.animFrame = -1, Man_getSpriteBox(&gM, &gRects.spriteSrc, &gRects.spriteDst.x, &gRects.spriteDst.y)), "-1; E+ Invalid animation frame number :(; flushed; errno 0"),
    ROW((gM.animFrame = 7, then(Man_getSpriteBox(&gM, &gRects.spriteSrc, &gRects.spriteDst.x, &gRects.spriteDst.y), rects)), "0 30,34 300,200 0 0,0,0"),
    ROW(then(Man_getHealthBox(nullptr, nullptr, nullptr), rects), "-1 0,0 0,0 0 0,0,0; E+ Man must not be NULL.; errno 0"),
    ROW(then(Man_getHealthBox(&gM, nullptr, &gRects.barDst), rects), "-1 0,0 0,0 0 0,0,0; E+ Invalid SDL_Rect parameters - NULL ptr caught.; errno 0"),
    ROW(then(Man_getHealthBox(&gM, &gRects.barSrc, nullptr), rects), "-1 0,0 0,0 0 0,0,0; E+ Invalid SDL_Rect parameters - NULL ptr caught.; errno 0"),
    ROW((gM.maxHealth = 0, then(Man_getHealthBox(&gM, &gRects.barSrc, &gRects.barDst), rects)), "-1 0,0 0,0 0 0,0,0; E+ Man#0 has no starting health to measure a bar by: 0; errno 0"),
    ROW((gM.health = -1, then(Man_getHealthBox(&gM, &gRects.barSrc, &gRects.barDst), rects)), "0 0,0 0,0 0 0,0,0"),
    ROW((gM.health = 0, then(Man_getHealthBox(&gM, &gRects.barSrc, &gRects.barDst), rects)), "0 0,0 0,0 1 295,197,1"),

    // The resource directory: the last folder's name turns from bin to res.
    ROW(seq(dir, "bin/", "bin", "xbin/", "/opt/bin/game/bin/", "C:\\games\\bin\\"), "0 res/#8 0 res#8 0 xbin/#8 0 /opt/bin/game/res/#32 0 C:\\games\\res\\#16 "),
    ROW(seq(dir, "/srv/cabinet/bin/", "/home/robin/binbin/", "/opt/Game/BIN/", "/opt/game/"), "0 /srv/cabinet/res/#32 0 /home/robin/binbin/#32 0 /opt/Game/BIN/#16 0 /opt/game/#16 "),
    ROW((gBase = nullptr, then(File_InitialiseResourcePath(), path)), "-1 null; " + NO_BASE + "; errno 0"),
    ROW((arm(), then(File_InitialiseResourcePath(), path)), "0 /opt/game/res/#16", "FFFs", "-1 null"),
    ROW((failing(1), File_InitialiseResourcePath()), "-1; E+ bstring find and replace failed.; errno 0"),
    ROW((failing(3), File_InitialiseResourcePath()), "-1; E+ Could not keep the resource directory.; errno 0"),
    ROW((File_InitialiseResourcePath(), File_InitialiseResourcePath()), "1"),

    // The lookups, and the conversion to text.
    ROW((arm(), look(File_GetResource_cstr("men.bmp", &gSlot))), "slot /opt/game/res/men.bmp#32", "FFFSFSs", "null null"),
    ROW(look(File_GetResource_cstr("sub/x.bmp", &gSlot)), "slot /opt/game/res/sub/x.bmp#32"),
    ROW(look(File_GetResource_cstr("", &gSlot)), "slot /opt/game/res/#16"),
    ROW((gBase = nullptr, old(), look(File_GetResource_cstr("men.bmp", &gSlot))), "null old; " + NO_BASE + "; E- Resource data path could not be initialised D:; errno 0"),
    ROW((old(), look(File_GetResource_cstr(nullptr, &gSlot))), "null old; E+ Invalid input: path string cannot be NULL.; errno 0"),
    ROW(File_GetResource_cstr("men.bmp", nullptr), "null; E+ Invalid input: out cannot be NULL.; errno 0"),
    ROW((old(), look(File_GetResource_cstr("men.bmp", &gSlot))), "slot /opt/game/res/men.bmp#32; W+ Out bstring exists, destroying to avoid memory leaks"),
    ROW((File_InitialiseResourcePath(), failing(1), look(File_GetResource_cstr("men.bmp", &gSlot))), "null null; E+ Failed to copy RESOURCE_PATH.; errno 0"),
    ROW((File_InitialiseResourcePath(), failing(3, 3), look(File_GetResource_cstr("men.bmp", &gSlot))), "null /opt/game/res/me*#16; E+ Error appending to resource path. Given dir: men.bmp; errno 0"),
    ROW((arm(), look(File_GetResource(&gName, &gSlot))), "slot /opt/game/res/men.bmp#32", "FFFSFSS", "null null"),
    ROW(look(File_GetResource(&gNul, &gSlot)), "slot /opt/game/res/a@b#32"),
    ROW((gBase = nullptr, old(), look(File_GetResource(&gName, &gSlot))), "null null; " + NO_BASE + "; E- Resource data path could not be initialised D:; errno 0"),
    ROW((old(), look(File_GetResource(nullptr, &gSlot))), "null null; E+ Invalid input: path bstring cannot be NULL.; errno 0"),
    ROW(File_GetResource(&gName, nullptr), "null; E+ Invalid input: out cannot be NULL.; errno 0"),
    ROW((old(), look(File_GetResource(&gName, &gSlot))), "slot /opt/game/res/men.bmp#32; W+ Out bstring exists, destroying to avoid memory leaks"),
    ROW((File_InitialiseResourcePath(), failing(1), look(File_GetResource(&gName, &gSlot))), "null null; E+ Failed to copy RESOURCE_PATH; errno 0"),
    ROW((File_InitialiseResourcePath(), failing(3, 3), look(File_GetResource(&gName, &gSlot))), "null null; E+ Error appending to resource path. Given dir: men.bmp; errno 0"),
    ROW(convert(&gNul), "0 a@b@", "F", "-1 null"),
    ROW((failing(1), convert(&gNul)), "-1 null; E+ Could not allocate memory for the cstring copy.; errno 0"),
    ROW(convert(nullptr), "-1 null; E+ Invalid input: bstring input is NULL.; errno 0"),
    ROW(Util_CString_Convert(&gNul, nullptr), "-1; E+ Invalid input: out cannot be NULL.; errno 0"),

    // Counted strings: capacities, then each operation's refusals and
    // failures. A refused string is left as it was.
    ROW(seq(Bstring_capacityFor, -1, 7, 8, 16, 100, 65535, 65536, 70000, (1 << 30) - 1, 1 << 30, INT_MAX), "8 8 16 32 128 65536 131072 131072 1073741824 1073741824 2147483647 "),
    ROW((arm(), own(Bstring_fromCstr("abcdefg"))), "abcdefg#16", "FF", "null"),
    ROW(own(Bstring_fromCstr("")) + own(Bstring_fromCstr(nullptr)), "#8null"),
    ROW(on("hello", [](bstring s) { return own(Bstring_copy(s)); }), "hello#8 hello#8", "Fs", "null hello#8"),
    ROW(own(Bstring_copy(&gHollow)) + own(Bstring_copy(&gNegative)) + own(Bstring_copy(nullptr)), "nullnullnull"),
    ROW(Bstring_destroy(nullptr) + Bstring_destroy(&gBent) + Bstring_destroy(&gNegative) + Bstring_destroy(&gHollow), "-4"),
    // A buffer at most seven eighths full moves to a fresh one or, when that
    // cannot be had, is resized; a fuller one is resized, or grown to just
    // the size asked for, or left as it was.
    ROW(on("hello", [](bstring s) { return Bstring_reserve(s, 100); }), "0 hello#128", "S"),
    ROW(on("abcdefghijklmn", [](bstring s) { return Bstring_reserve(s, 20); }), "0 abcdefghijklmn#32", "S"),
    ROW(on("abcdefghijklmn", [](bstring s) { return Bstring_appendCstr(s, "o") + Bstring_reserve(s, 20); }), "0 abcdefghijklmno#32", "s"),
    ROW(on("abcdefghijklmn", [](bstring s) { return failing(1, 2), Bstring_appendCstr(s, "o") + Bstring_reserve(s, 20); }), "-1 abcdefghijklmno#16"),
    ROW(on("abc", [](bstring s) { return Bstring_reserve(s, 0) + Bstring_reserve(nullptr, 9) + Bstring_reserve(&gBent, 9); }), "-3 abc#8"),
    // Appending a string to itself, with room and growing.
    ROW(on("ab", [](bstring s) { return Bstring_append(s, s); }), "0 abab#8"),
    ROW(on("abcd", [](bstring s) { return Bstring_append(s, s); }), "0 abcdabcd#16", "FSS", "-1 abcd#8"),
    ROW(on("abc", [](bstring s) { return Bstring_append(s, &gName); }), "0 abcmen.bmp#16", "S"),
    ROW(on("abc", [](bstring s) { return Bstring_append(s, &gHollow) + Bstring_append(s, &gNegative) + Bstring_append(&gBent, s); }), "-3 abc#8"),
    // A sum of lengths past 32 bits is refused before any byte is touched.
    ROW(Bstring_append(&gHuge, &gName) + Bstring_appendBytes(&gHuge, "abc", 3), "-2"),
    ROW(on("abc", [](bstring s) { return Bstring_appendBytes(s, "x", -1) + Bstring_appendBytes(s, nullptr, 1) + Bstring_appendBytes(&gBent, "x", 1); }), "-3 abc#8"),
    // Text with its NUL exactly filling the spare bytes, and one byte more;
    // out of memory, the bytes that fitted stay, with no NUL after them.
    ROW(on("abc", [](bstring s) { return Bstring_appendCstr(s, "defg"); }), "0 abcdefg#8"),
    ROW(on("abc", [](bstring s) { return Bstring_appendCstr(s, "defgh"); }), "0 abcdefgh#16", "s"),
    ROW(on("abc", [](bstring s) { return failing(1, 2), Bstring_appendCstr(s, "defghij"); }), "-1 abcdefgh*#8"),
    ROW(on("abc", [](bstring s) { return Bstring_appendCstr(s, nullptr) + Bstring_appendCstr(&gBent, "x"); }), "-2 abc#8"),
    // The search: an empty pattern is found where the search starts, even at
    // the very end; a match that differs in its last byte is none.
    ROW(seq([](int pos) { return find("abcab", pos, ""); }, -1, 1, 5, 6), "-1 1 5 -1 "),
    ROW(seq([](int pos) { return find("abcab", pos, "ab"); }, -1, 0, 1, 4), "-1 0 3 -1 "),
    ROW(find("abcab", 3, "abx") + find("abxabc", 0, "abc"), "2"),
    ROW(Bstring_find(&gHollow, 0, &gName) + Bstring_find(&gNegative, 0, &gName) + Bstring_find(&gName, 0, nullptr), "-3"),
    ROW(on("abcabc", [](bstring s) { return replace(s, "bc", ""); }), "0 aa#8"),
    // Replaced text is not searched again, nor counted twice for the room.
    ROW(on("aaaa", [](bstring s) { return replace(s, "aa", "ba"); }), "0 baba#8"),
    ROW(on("aaaa", [](bstring s) { return replace(s, "aa", "xyz"); }), "0 xyzxyz#8"),
    ROW(on("abc", [](bstring s) { return replace(s, "b", "x", 3); }), "0 abc#8"),
    ROW(on("abc", [](bstring s) { return replace(s, "", "x") + replace(s, "b", "x", -1) + replace(s, "b", Span(nullptr, 1)); }), "-3 abc#8"),
    // Pattern or replacement in s's own bytes: the first replacement
    // overwrites the pattern "ab"; the buffer holding "XY" moves.
    ROW(on("abab", [](bstring s) { return replace(s, Span(s->data, 2), "cd"); }), "0 cdcd#8", "FS", "-1 abab#8"),
    ROW(on("XYaaa", [](bstring s) { return replace(s, "a", Span(s->data, 2), 2); }), "0 XYXYXYXY#16", "FSS", "-1 XYaaa#8"),
    ROW(on("abab", [](bstring s) { return replace(s, Span(s->data, 2), Span(s->data + 1, 3)); }), "0 babbab#8", "FSFS", "-1 abab#8"),
    // 31 positions fit the fixed storage; the 32nd and 64th move the list.
    ROW(then(on(X31, [](bstring s) { return replace(s, "x", "xx"); }), [] { return show(int(Util_AllocCalls())); }), "0 " + X62 + "#64 0"),
    ROW(on(X64, [](bstring s) { return replace(s, "x", "xx"); }), "0 " + X128 + "#256", "FFS", "-1 " + X64 + "#128"),
};
// clang-format on

// The row's call from a fresh start: what it tells, then the lines and errno.
std::pair<std::string, std::string> play(const Row& row, long failAt) {
    Man_freeAll();
    Man_setMax(100);
    File_ForgetResourcePath();
    gBase = "/opt/game/bin/";
    gArmAt = failAt, gArmCount = 1, gCount = -7, gSlot = gOld = nullptr, gM = START;
    gRects = frame_rects_start();
    const LogCapture log;
    errno = EINVAL;
    std::pair<std::string, std::string> seen{row.run(), ""};
    const int err = errno;
    gCalls = Util_AllocCalls();
    Util_FailAllocAt(0);
    const bool flushed = flushedBytes() > 0;
    for (const std::string& line : log.lines()) {
        const char* marker = line.find("errno: Yep)") != std::string::npos ? "+ " : "- ";
        seen.second += "; " + line.substr(1, 1) + marker + line.substr(line.find(") ") + 2);
    }
    seen.second += (flushed ? "; flushed" : "") + (err == EINVAL ? "" : "; errno " + show(err));
    return seen;
}

TEST(Contracts, EveryOperationKeepsItsWordWhenThingsGoWrong) {
    File_SetBasePathSource([] { return gBase == nullptr ? nullptr : SDL_strdup(gBase); });
    const auto capless = [](const std::string& s) {
        return std::regex_replace(s, std::regex("#[0-9]+"), "#");
    };
    for (const Row& row : ROWS) {
        const auto [clean, lines] = play(row, 0);
        EXPECT_EQ(clean + lines, row.want) << row.call;
        std::string sweep;
        for (long k = 1, made = gCalls; k <= made && !row.sweep.empty(); ++k) {
            const std::string got = play(row, k).first;
            const bool same = got == clean, failed = got == row.fail;
            sweep += same ? 'S' : failed ? 'F' : capless(got) == capless(clean) ? 's' : '?';
        }
        EXPECT_EQ(sweep, row.sweep) << row.call;
    }
}
} // namespace
