#include <SDL.h>

#include <cstring>

#include "share/alloc.h"
#include "share/log.h"
#include "share/share_utils.h"

bstring RESOURCE_PATH = nullptr;

namespace {
BasePathSource gBasePathSource = nullptr;

char* askBasePath() {
    return gBasePathSource != nullptr ? gBasePathSource() : SDL_GetBasePath();
}

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

// Turns the directory's last component from "bin" into "res", so a game
// kept in bin/ finds its bitmaps in the sibling res/. A "bin" higher up, or
// inside a longer name, is part of where the game was installed and stays.
// 0, or -1 when dir is missing or cannot be changed.
int swapBinForRes(bstring dir) {
    if (dir == nullptr) {
        return -1;
    }
    const char* text = Bstring_data(dir);
    std::int32_t end = Bstring_length(dir);
    if (end > 0 && isSeparator(text[end - 1])) {
        --end;
    }
    std::int32_t start = end;
    while (start > 0 && !isSeparator(text[start - 1])) {
        --start;
    }
    if (end - start != 3) {
        return 0;
    }
    char bin[] = "bin";
    char res[] = "res";
    const BstringRecord pattern{4, 3, bin};
    const BstringRecord replacement{4, 3, res};
    // From the last component on, the only place "bin" can match is the
    // component itself.
    return Bstring_findReplace(dir, &pattern, &replacement, start);
}

} // namespace

int File_InitialiseResourcePath() {
    if (RESOURCE_PATH != nullptr) {
        return 1;
    }
    char* base = askBasePath();
    if (base == nullptr) {
        Log_Error("SDL could not setup the base path on this system.");
        return -1;
    }
    bstring working = Bstring_fromCstr(base);
    SDL_free(base);
    if (swapBinForRes(working) != 0) {
        Log_Error("bstring find and replace failed.");
        if (working != nullptr) {
            Bstring_destroy(working);
        }
        return -1;
    }
    // Without the copy there is no directory to keep: that is a failure, and
    // the next lookup builds it again.
    RESOURCE_PATH = Bstring_copy(working);
    Bstring_destroy(working);
    if (RESOURCE_PATH == nullptr) {
        Log_Error("Could not keep the resource directory.");
        return -1;
    }
    return 0;
}

// The lookups write their own lines, so that each names its own function.

bstring File_GetResource_cstr(const char* name, bstring* out) {
    if (RESOURCE_PATH == nullptr && File_InitialiseResourcePath() != 0) {
        Log_Error("Resource data path could not be initialised D:");
        return nullptr;
    }
    if (name == nullptr) {
        Log_Error("Invalid input: path string cannot be NULL.");
        return nullptr;
    }
    if (out == nullptr) {
        Log_Error("Invalid input: out cannot be NULL.");
        return nullptr;
    }
    if (*out != nullptr) {
        Log_Warn("Out bstring exists, destroying to avoid memory leaks");
        Bstring_destroy(*out);
    }
    *out = Bstring_copy(RESOURCE_PATH);
    if (*out == nullptr) {
        Log_Error("Failed to copy RESOURCE_PATH.");
        return nullptr;
    }
    // No separator is added: the directory already ends with one.
    if (Bstring_appendCstr(*out, name) != 0) {
        Log_Error("Error appending to resource path. Given dir: %s", name);
        return nullptr;
    }
    return *out;
}

bstring File_GetResource(const BstringRecord* name, bstring* out) {
    if (out == nullptr) {
        Log_Error("Invalid input: out cannot be NULL.");
        return nullptr;
    }
    if (RESOURCE_PATH == nullptr && File_InitialiseResourcePath() != 0) {
        Log_Error("Resource data path could not be initialised D:");
        *out = nullptr;
        return nullptr;
    }
    if (name == nullptr) {
        Log_Error("Invalid input: path bstring cannot be NULL.");
        *out = nullptr;
        return nullptr;
    }
    if (*out != nullptr) {
        Log_Warn("Out bstring exists, destroying to avoid memory leaks");
        Bstring_destroy(*out);
    }
    *out = Bstring_copy(RESOURCE_PATH);
    if (*out == nullptr) {
        Log_Error("Failed to copy RESOURCE_PATH");
        return nullptr;
    }
    if (Bstring_append(*out, name) != 0) {
        const char* shown = Bstring_data(name);
        Log_Error("Error appending to resource path. Given dir: %s",
                  shown != nullptr ? shown : "(null)");
        Bstring_destroy(*out);
        *out = nullptr;
        return nullptr;
    }
    return *out;
}

int Util_CString_Convert(const BstringRecord* b, char** out) {
    if (out == nullptr) {
        Log_Error("Invalid input: out cannot be NULL.");
        return -1;
    }
    if (*out != nullptr) {
        Util_Free(*out);
        *out = nullptr;
    }
    const char* bytes = Bstring_data(b);
    const std::int32_t n = Bstring_length(b);
    if (b == nullptr || (bytes == nullptr && n > 0)) {
        Log_Error("Invalid input: bstring input is NULL.");
        return -1;
    }
    auto* text = static_cast<char*>(Util_Alloc(static_cast<std::size_t>(n) + 1));
    if (text == nullptr) {
        Log_Error("Could not allocate memory for the cstring copy.");
        return -1;
    }
    if (n > 0) {
        std::memcpy(text, bytes, static_cast<std::size_t>(n));
    }
    text[n] = '\0';
    *out = text;
    return 0;
}

void File_SetBasePathSource(BasePathSource source) {
    gBasePathSource = source;
}

void File_ForgetResourcePath() {
    if (RESOURCE_PATH != nullptr) {
        Bstring_destroy(RESOURCE_PATH);
        RESOURCE_PATH = nullptr;
    }
}
