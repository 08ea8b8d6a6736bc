// Reading and writing the pixels of any bitmap or surface GDI draws on, whatever its format:
// 1-, 4- and 8-bit indices into a colour table, 16-bit 5-5-5, 24-bit B-G-R, 32-bit B-G-R-X.
#pragma once

#include "platform/win32/gdi32.h"

struct PixelView {
  BYTE* bits = nullptr;
  LONG width = 0;
  LONG height = 0;
  LONG stride = 0;
  int bits_per_pixel = 0;
  bool bottom_up = false;
  const RGBQUAD* colours = nullptr;
  int colour_count = 0;
};

// Address of the row that shows picture line y (0 = top line).
BYTE* pixel_row(const PixelView& view, LONG y);
COLORREF pixel_read(const PixelView& view, LONG x, LONG y);
// Writes the colour as the format stores it: the nearest table entry for indexed formats,
// alpha 0 for 32-bit pixels (as GDI's own drawing leaves it).
void pixel_write(const PixelView& view, LONG x, LONG y, COLORREF colour);
// Fills `area` (already clipped to the view) with one colour.
void pixel_fill(const PixelView& view, const RECT& area, COLORREF colour);
