// What a device context draws on: a pixel view, where logical (0, 0) lies in it, and the clip.
#pragma once

#include <cstdint>

#include "platform/gdi32/bitmap.h"

struct DrawTarget {
  PixelView view;
  POINT origin;  // logical (0, 0) in view coordinates
  RECT clip;     // view coordinates, inside the view
  // A window surface whose pixels the display keeps: `view` has no bits, and
  // drawing goes through device_pixels.h.
  const PixelSurface* device = nullptr;
};

DrawTarget dc_target(const DeviceContext& dc);
// A rectangle in 64 bits, so that x + width never overflows whatever the caller passes.
struct WideRect {
  std::int64_t left, top, right, bottom;
};

inline WideRect wide_rect(const RECT& rect) { return WideRect{rect.left, rect.top, rect.right, rect.bottom}; }
// x, y, width, height with negative extents turned round.
WideRect wide_rect_normalized(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height);
// Logical rectangle -> view rectangle, cut to the clip (empty when nothing is left).
RECT dc_clip_rect(const DrawTarget& target, const WideRect& logical);
