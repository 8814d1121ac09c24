#include "game/game.h"
#include "man/man.h"
#include "share/log.h"

int draw_frame(SDL_Surface* screen, SDL_Surface* background, SDL_Surface* sheet,
               FrameRects* rects) {
    SDL_BlitSurface(background, nullptr, screen, nullptr);
    std::int32_t count = 0;
    Man* const men = Man_getList(&count);
    if (men == nullptr) {
        Log_Error("Failed to update, list was NULL.");
        return -1;
    }
    for (std::int32_t j = 0; j < count; ++j) {
        Man* const man = &men[j];
        // A dead man is skipped before his update, so one who dies in his
        // own update is still drawn this frame, without a bar.
        if (man->dead != 0) {
            continue;
        }
        (void)Man_update(man);
        std::int32_t manX = 0;
        std::int32_t manY = 0;
        if (Man_getSpriteBox(man, &rects->spriteSrc, &manX, &manY) != 0) {
            Log_Error("Could not get image data from Man#%d", j);
            return -1;
        }
        rects->spriteDst.x = manX;
        rects->spriteDst.y = manY;
        SDL_BlitSurface(sheet, &rects->spriteSrc, screen, &rects->spriteDst);
        if (Man_getHealthBox(man, &rects->barSrc, &rects->barDst) != 0) {
            Log_Error("Could not get health bar data from Man#%d", j);
            return -1;
        }
        if (man->health >= 0) {
            SDL_BlitSurface(sheet, &rects->barSrc, screen, &rects->barDst);
        }
    }
    return 0;
}
