// The PNG encoder: an image encoder for FORMAT_PNG driving libpng. True-colour
// pictures become 8-bit RGB or RGBA PNGs; depths 1 to 8 ask for a palette PNG.
#pragma once

#include <cstdint>

#include "platform/win32/types.h"

// Appends the PNG record to the encoder table; later calls do nothing.
void png_encoder_register();

// Rows of B, G, R (rgb) or B, G, R, A (rgba) pixels, `stride` bytes apart.
// With a file name: 1 on success, 0 on failure (an older file of that name is
// then left as it was). Without one: a memory-heap block holding exactly the
// PNG bytes, for the caller to give back with memory_free, or 0.
std::intptr_t png_encode_rgb(LPCWSTR file_name, const void* pixels, int width, int height, int stride,
                             int row_flags, int options, int depth);
std::intptr_t png_encode_rgba(LPCWSTR file_name, const void* pixels, int width, int height, int stride,
                              int row_flags, int options, int depth);
