// Colour reduction for the palette depths of the writers: a palette of 2^depth
// colours and one packed index row per pixel row.
#pragma once

#include "platform/win32/types.h"

struct PaletteImage {
  BYTE colours[256][4];  // blue, green, red, alpha
  int colour_count;      // 2^depth
  int depth;             // 1, 2, 4 or 8 bits per index
  int width;
  int height;
  int row_size;          // bytes per index row: packed indices rounded up to a multiple of 4
  BYTE* index_rows;      // height rows in the source's memory order; first pixel in the high bits
};

// Depth 1: black and white, white exactly when 0.2126 R + 0.7152 G + 0.0722 B
// exceeds 160. Depths 2, 4 and 8: a NeuQuant palette, each pixel taking the
// nearest entry. Options bit SAVE_OPTION_ERROR_DIFFUSION spreads each pixel's
// error to its right and lower neighbours. False (nothing to free) for an
// unsupported depth, unreadable pixels or want of memory.
bool palette_build(PaletteImage* image, const void* pixels, int width, int height, int source_depth,
                   int row_size, int depth, int options);
void palette_free(PaletteImage* image);

inline const BYTE* palette_index_row(const PaletteImage& image, int row) {
  return image.index_rows + static_cast<long long>(row) * image.row_size;
}
