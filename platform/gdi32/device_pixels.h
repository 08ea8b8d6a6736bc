// Drawing on window surfaces whose pixels the display keeps: small bands of
// rows are read from the device, drawn on in memory and written back, so
// that no copy of the whole surface is ever made.
#pragma once

#include <algorithm>
#include <memory>
#include <new>

#include "platform/gdi32/device_context.h"

// Rows per band: about 16 KiB of pixels, and at least one row.
LONG device_band_rows(LONG width);
void device_read(const DrawTarget& target, const RECT& area, BYTE* pixels, LONG stride);
void device_write(const DrawTarget& target, const RECT& area, const BYTE* pixels, LONG stride);
void device_fill(const DrawTarget& target, const RECT& area, COLORREF colour);
// Consecutive bands of one colour, sent to the device as a single fill.
struct PendingFill {
  RECT area{0, 0, 0, 0};
  COLORREF colour = 0;
  bool held = false;
};
void pending_fill_send(const DrawTarget& target, PendingFill* fill);
// Adds a band of `colour`, sending what was held first if it cannot join it.
void pending_fill_add(const DrawTarget& target, PendingFill* fill, const RECT& band_area, COLORREF colour);

// Calls draw(band, band_area) for each band of `area` (view coordinates of a
// device target): `band` is a 32-bit view whose (0, 0) is band_area's top-left
// corner. With `read_first` the band holds the device's pixels (the drawing
// combines with them); otherwise the drawing must set every pixel of it. The
// band is written back when draw returns true; false says that draw sent the
// band's pixels another way (as a fill). False when there is no memory for a
// band: nothing is drawn.
template <typename Draw>
bool device_draw_bands(const DrawTarget& target, const RECT& area, bool read_first, Draw draw) {
  const LONG width = area.right - area.left;
  if (width <= 0 || area.bottom <= area.top) return true;
  const LONG rows = std::min(device_band_rows(width), area.bottom - area.top);
  const LONG stride = width * 4;
  std::unique_ptr<BYTE[]> memory(new (std::nothrow) BYTE[static_cast<size_t>(stride) * rows]());
  if (!memory) return false;
  for (LONG top = area.top; top < area.bottom; top += rows) {
    const RECT band_area{area.left, top, area.right, std::min(top + rows, area.bottom)};
    PixelView band{};
    band.bits = memory.get();
    band.width = width;
    band.height = band_area.bottom - band_area.top;
    band.stride = stride;
    band.bits_per_pixel = 32;
    if (read_first) device_read(target, band_area, band.bits, stride);
    if (draw(band, band_area)) device_write(target, band_area, band.bits, stride);
  }
  return true;
}
