// Bitmaps: DIB sections (pixel memory the program addresses) and device-dependent bitmaps.
#pragma once

#include "platform/gdi32/gdi_object.h"
#include "platform/gdi32/pixel_view.h"

// Bytes per row of a DIB: padded to 4 bytes.
LONG dib_row_bytes(LONG width, int bits_per_pixel);
// Bytes per row of a device-dependent bitmap: padded to 2 bytes, as BITMAP reports it.
LONG ddb_row_bytes(LONG width, int bits_per_pixel);
// A zero-filled bitmap of the given layout, entered into the handle table; null when the
// size is impossible or the memory is not there.
Bitmap* bitmap_allocate(LONG width, LONG height, int bits_per_pixel, bool is_dib);
PixelView bitmap_view(const Bitmap& bitmap);
// The 1 × 1 monochrome bitmap every new memory DC starts with.
Bitmap* stock_bitmap();
// The bit depth the screen reports (and screen-compatible bitmaps get).
inline constexpr int SCREEN_BITS_PER_PIXEL = 32;
