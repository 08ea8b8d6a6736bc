// Read access to the 24- or 32-bit pixel rows a saver is handed (B, G, R[, A]),
// and the composite of a translucent pixel over white that every flattening
// path shares.
#pragma once

#include <cstddef>

#include "platform/win32/types.h"

struct SourcePixels {
  const BYTE* rows;
  int width;
  int height;
  int row_size;
  int bytes_per_pixel;  // 3 or 4
};

// False for anything a reader could not walk safely: no pixels, a size below
// one pixel, a depth other than 24 or 32, or rows shorter than their pixels.
bool source_pixels_make(SourcePixels* source, const void* pixels, int width, int height, int row_size,
                        int source_depth);

inline const BYTE* source_row(const SourcePixels& source, int row) {
  return source.rows + static_cast<std::ptrdiff_t>(row) * source.row_size;
}

// B, G, R, A of one pixel; 24-bit pixels are opaque.
inline void source_pixel_bgra(const SourcePixels& source, int x, int y, BYTE bgra[4]) {
  const BYTE* pixel = source_row(source, y) + static_cast<std::ptrdiff_t>(x) * source.bytes_per_pixel;
  bgra[0] = pixel[0];
  bgra[1] = pixel[1];
  bgra[2] = pixel[2];
  bgra[3] = source.bytes_per_pixel == 4 ? pixel[3] : 255;
}

// Colour byte c of a pixel with alpha a, laid over white: 255 for a = 0,
// c for a = 255.
inline BYTE composite_over_white(int c, int a) { return static_cast<BYTE>((a * (c - 255) + 65025) / 255); }
