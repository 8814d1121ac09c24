#include "game/game.h"

#include "game/image.h"
#include "man/man.h"
#include "share/log.h"
#include "share/share_utils.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

namespace {
constexpr const char* WINDOW_TITLE = "Skirmlings!";
constexpr int FLUSH_EVERY = 16; // drawn frames between periodic flushes
} // namespace

int init_window(SDL_Window** gWnd, SDL_Surface** gScreen) {
    if (*gWnd != nullptr || *gScreen != nullptr) {
        Log_Warn("gWnd and gScreen parameters should both be NULL - check initialisation.");
    }
    const int rc = SDL_Init(SDL_INIT_VIDEO);
    if (rc < 0) {
        Log_Error("Failed to initialise SDL properly. Err#%d> %s", rc, SDL_GetError());
        return -1;
    }
    *gWnd = SDL_CreateWindow(WINDOW_TITLE, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                             SCREEN_WIDTH, SCREEN_HEIGHT, SDL_WINDOW_SHOWN);
    if (*gWnd == nullptr) {
        Log_Error("Failed to initialise SDL_Window: %s", SDL_GetError());
        return -1;
    }
    *gScreen = SDL_GetWindowSurface(*gWnd);
    if (*gScreen == nullptr) {
        Log_Error("Failed to initialise SDL_Surface as screen: %s", SDL_GetError());
        return -1;
    }
    return 0;
}

int WinMain(void*, void*, char*, int) {
    int status = 0;
    SDL_Window* gWnd = nullptr;
    SDL_Surface* gScreen = nullptr;
    SDL_Surface* background = nullptr;
    SDL_Surface* menSheet = nullptr;
    bool running = false;
    bool paused = false;
    int flushCountdown = 0;
    Uint32 nextFrameTime = 1;
    FrameRects rects = frame_rects_start();
    SDL_Event event;

    (void)Util_SeedRand();
    (void)Log_open("w");
    Log_Info("Starting...");
    Log_flush();

    status = init_window(&gWnd, &gScreen);
    if (status != 0) {
        Log_Error("Could not initialise SDL systems.");
        goto shutdown;
    }
    Log_Info("Loading first image:");
    status = load_image(&background, "back2.bmp");
    if (status != 0) {
        Log_Error("Could not load back.bmp!");
        goto shutdown;
    }
    Log_Info("Loading second image:");
    status = load_image(&menSheet, "men.bmp");
    if (status != 0) {
        Log_Error("Could not load men.bmp!");
        goto shutdown;
    }
    // Pure green is the sheet's transparent colour.
    SDL_SetColorKey(menSheet, SDL_TRUE, SDL_MapRGB(menSheet->format, 0, 255, 0));
    Log_flush();

    status = Man_init();
    if (status != 0) {
        Log_Error("Fialed to initialise Men!");
        goto shutdown;
    }
    spawn_men();

    running = true;
    Log_flush();

    for (;;) {
        if (!running) {
            Log_Info("Program closing..");
            Log_flush();
            break;
        }
        while (SDL_PollEvent(&event) != 0) {
            if (event.type == SDL_QUIT) {
                running = false;
                Log_Info("Quit message recieved.");
                Log_flush();
            } else if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_p) {
                // Auto-repeat and modifiers are not looked at: each key-down
                // toggles. The log stays closed while the game is paused.
                if (paused) {
                    paused = false;
                    (void)Log_open("a");
                } else {
                    paused = true;
                    Log_close();
                }
            }
        }
        // Between frames the loop spins on events and the tick counter.
        if (!frame_is_due(nextFrameTime, SDL_GetTicks()) || paused) {
#ifdef __EMSCRIPTEN__
            // In a page the loop runs on the browser's own thread: without a
            // turn for the page the tab freezes, and while paused nothing is
            // presented, so the key that resumes could never arrive. The turn
            // lasts until the frame is due, since the browser wakes a page no
            // sooner than a few milliseconds after a turn of none.
            const auto untilDue = static_cast<std::int32_t>(nextFrameTime - SDL_GetTicks());
            emscripten_sleep(paused || untilDue < 0 ? 0 : static_cast<unsigned>(untilDue));
#endif
            continue;
        }
        status = draw_frame(gScreen, background, menSheet, &rects);
        if (status != 0) {
            goto shutdown;
        }
        if (--flushCountdown < 0) {
            Log_flush();
            flushCountdown = FLUSH_EVERY - 1;
        }
        nextFrameTime = SDL_GetTicks() + FRAME_TIME;
        SDL_UpdateWindowSurface(gWnd);
    }

shutdown:
    Log_flush();
    if (background != nullptr) {
        SDL_FreeSurface(background);
    }
    if (menSheet != nullptr) {
        SDL_FreeSurface(menSheet);
    }
    // The screen surface belongs to the window and goes with it.
    if (gWnd != nullptr) {
        SDL_DestroyWindow(gWnd);
    }
    SDL_Quit();
    Log_Info("Finished.");
    Log_close();
    return status;
}
