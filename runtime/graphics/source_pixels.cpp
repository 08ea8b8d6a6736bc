#include "runtime/graphics/source_pixels.h"

#include <cstdint>

bool source_pixels_make(SourcePixels* source, const void* pixels, int width, int height, int row_size,
                        int source_depth) {
  if (pixels == nullptr || width < 1 || height < 1) return false;
  if (source_depth != 24 && source_depth != 32) return false;
  int bytes_per_pixel = source_depth / 8;
  if (static_cast<std::int64_t>(width) * bytes_per_pixel > row_size) return false;
  *source = SourcePixels{static_cast<const BYTE*>(pixels), width, height, row_size, bytes_per_pixel};
  return true;
}
