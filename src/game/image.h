// Loading the game's bitmaps from the resource directory.
#pragma once

#include <SDL.h>

// Loads the BMP called name (relative to the resource directory) into
// *slot, exactly as the file holds it, after an INFO line with the full
// path. Returns 0 with the surface in *slot (the caller frees it with
// SDL_FreeSurface), or -1 after an ERROR line: *slot is untouched when no
// full path could be made, null when the file did not open or load (the
// line then gives SDL's reason).
int load_image(SDL_Surface** slot, const char* name);
