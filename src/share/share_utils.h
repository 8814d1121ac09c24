// Shared utilities: the random draw and the resource directory.
#pragma once

#include <cstdint>

#include "share/bstring.h"

// --- Random draws -------------------------------------------------------
// A 32-bit linear congruential generator: state = state * 214013 + 2531011,
// output = (state >> 16) & 32767.

// Seeds the generator with the current calendar time in whole seconds.
// Returns 0.
int Util_SeedRand();

// Sets the generator's state directly (for tests and tools; the game seeds
// from the clock).
void Util_SeedRandWith(std::uint32_t state);

// A draw from 0 to n - 1 for n from 1 to 32766; 0 comes up a little more
// often than the other values. Consumes one output of the generator.
int Util_Rand(int n);

// --- Resource paths -----------------------------------------------------
// The resource directory: the running executable's directory, with its last
// component swapped from "bin" to "res" when it is exactly "bin" (either
// separator, '/' or '\\', counts), so a game kept in bin/ finds its bitmaps
// in the sibling res/. The trailing separator stays as reported. Built on
// first use and never released. Failures are reported as ERROR lines of the
// session log, after which errno is 0.
extern bstring RESOURCE_PATH;

// 0 = built by this call, 1 = already built (nothing done), -1 = failure
// (no base path, or no memory for it), with RESOURCE_PATH still null for
// the next call to retry.
int File_InitialiseResourcePath();

// A new path: the resource directory followed by name, unchanged. Also
// stored in *out; an old string there is released first, after a WARN line.
// Null on failure: *out is as on entry when the directory cannot be built or
// name (or out) is null, null when the directory cannot be copied, and the
// caller's partly extended copy when the name cannot be appended.
bstring File_GetResource_cstr(const char* name, bstring* out);

// As File_GetResource_cstr for a counted name (all of its bytes, NUL
// included); after any failure *out is null (a string it held on entry is
// then released only if it got as far as the WARN line).
bstring File_GetResource(const BstringRecord* name, bstring* out);

// A new NUL-terminated copy of b's bytes in *out, allocated with
// Util_Alloc (release with Util_Free or std::free); an old buffer there is
// released first. 0, or -1 with *out null when b is null or memory is short.
int Util_CString_Convert(const BstringRecord* b, char** out);

// Where the executable's directory comes from: SDL_GetBasePath unless a
// test swaps in a source of its own (null restores SDL's). The source
// returns text allocated with SDL's allocator, or null when the platform
// cannot tell; the module releases it with SDL_free.
using BasePathSource = char* (*)();
void File_SetBasePathSource(BasePathSource source);

// Releases the resource directory so that the next lookup builds it again
// (tests only: the game builds it once per run).
void File_ForgetResourcePath();
