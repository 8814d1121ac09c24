#include "game/image.h"

#include "share/alloc.h"
#include "share/log.h"
#include "share/share_utils.h"

int load_image(SDL_Surface** slot, const char* name) {
    bstring path = nullptr;
    char* text = nullptr;
    int result = -1;
    // Only the lookup's own answer counts: a path cut short by a failed
    // append could name another file, so it is released, never opened.
    if (File_GetResource_cstr(name, &path) == nullptr) {
        Log_Error("Could make path from cstring.");
    } else if (Util_CString_Convert(path, &text) != 0) {
        Log_Error("Failed to convert bstring to char * string.");
    } else {
        Log_Info("Loading image: %s", text);
        // Handed no stream, the loader would put its own complaint in place
        // of the reason the open failed, so it is only called with one.
        SDL_RWops* stream = SDL_RWFromFile(text, "rb");
        *slot = stream != nullptr ? SDL_LoadBMP_RW(stream, 1) : nullptr;
        if (*slot == nullptr) {
            Log_Error("Could not load BMP: %s", SDL_GetError());
        } else {
            result = 0;
        }
    }
    Util_Free(text);
    if (path != nullptr) {
        Bstring_destroy(path);
    }
    return result;
}
