// libpng's writing, guarded the one way both PNG writers need: an error in
// libpng ends in a jump back to the guard, which frees what libpng made and
// reports failure; libpng's texts and warnings are dropped (nothing is logged).
#pragma once

#include <png.h>

// Runs with the write and info structures made: binds the output and writes.
// It may end in png_error at any point. A jump back from libpng runs no
// destructor, so it keeps everything it needs freed in `context`.
using PngGuardedWork = void (*)(png_structp png, png_infop info, void* context);

// False when libpng could not start or reported an error.
bool png_write_guarded(PngGuardedWork work, void* context);
