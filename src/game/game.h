// The game shell: start-up, the paced frame loop, pause and shutdown.
#pragma once

#include <SDL.h>

#include <cstdint>

constexpr int SCREEN_WIDTH = 600;
constexpr int SCREEN_HEIGHT = 400;
constexpr Uint32 FRAME_TIME = 33; // ms from the end of one frame to the next
constexpr int SPAWN_COUNT = 100;

// True when a frame planned for tick nextFrameTime may be drawn at tick
// now. Works on the signed difference, so it survives the 32-bit wrap of
// the tick counter.
[[nodiscard]] constexpr bool frame_is_due(Uint32 nextFrameTime, Uint32 now) {
    return static_cast<std::int32_t>(nextFrameTime - now) <= 0;
}

// The four rectangles a frame draws with. They persist from man to man and
// frame to frame: each query overwrites only the fields it owns.
struct FrameRects {
    SDL_Rect spriteSrc;
    SDL_Rect spriteDst;
    SDL_Rect barSrc;
    SDL_Rect barDst;
};

[[nodiscard]] constexpr FrameRects frame_rects_start() {
    return {{0, 0, 10, 17}, {0, 0, 10, 17}, {0, 136, 0, 2}, {0, 0, 0, 2}};
}

// Starts SDL's video, creates the 600 x 400 window "Skirmlings!" and takes
// its surface. Both slots are expected null. 0, or -1 after an ERROR line;
// what was created stays for the shutdown to release.
int init_window(SDL_Window** gWnd, SDL_Surface** gScreen);

// Spawns SPAWN_COUNT men in the square that ends at the window's centre,
// with eight random draws per man in a fixed order. Failed creations are
// simply missing.
void spawn_men();

// Draws one frame onto screen: the whole background, then each living man,
// in slot order, updated and drawn with his health bar. 0, or -1 after an
// ERROR line, when the run must end.
int draw_frame(SDL_Surface* screen, SDL_Surface* background, SDL_Surface* sheet, FrameRects* rects);

// Runs the whole game and returns its exit status: 0 after an orderly quit,
// -1 after a failed start-up step or a failed frame. The arguments are
// those of the windowed-program entry and are ignored.
int WinMain(void* instance, void* previousInstance, char* commandLine, int showCommand);
