// Test helpers for pictures: DIB sections made straight through gdi32, and the address of a
// picture point in bottom-up or top-down memory, computed independently of the code under test.
#pragma once

#include <cstddef>

#include "platform/win32/gdi32.h"

// A DIB section; a negative height makes it top-down. `bits` receives the pixel memory.
HBITMAP make_dib(int width, int height, int bits_per_pixel, BYTE** bits, const RGBQUAD* colours = nullptr,
                 int colour_count = 0);

// Row size of a DWORD-aligned row.
inline int aligned_row_bytes(int width, int bits_per_pixel) { return (width * bits_per_pixel + 31) / 32 * 4; }

// Picture point (x, y), y = 0 the top line, in a bottom-up buffer.
inline BYTE* bottom_up_pixel(BYTE* bits, int row_bytes, int height, int x, int y, int pixel_bytes) {
  return bits + static_cast<std::ptrdiff_t>(height - 1 - y) * row_bytes + x * pixel_bytes;
}
