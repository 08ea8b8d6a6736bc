// Fills with the brush, and single pixels.
#include "platform/gdi32/device_context.h"
#include "platform/gdi32/device_pixels.h"
#include "platform/gdi32/raster_op.h"

namespace {

void combine_pattern(const PixelView& view, const RECT& area, COLORREF pattern, DWORD rop) {
  for (LONG y = area.top; y < area.bottom; ++y)
    for (LONG x = area.left; x < area.right; ++x)
      pixel_write(view, x, y, rop_apply(rop, pattern, 0, pixel_read(view, x, y)));
}

// One colour over `area` (view coordinates, clipped).
void solid_fill(const DrawTarget& target, const RECT& area, COLORREF colour) {
  if (target.device) device_fill(target, area, colour);
  else pixel_fill(target.view, area, colour);
}

void pattern_fill(const DrawTarget& target, RECT area, const Brush& brush, DWORD rop) {
  COLORREF pattern = brush.logical.lbColor & 0xFFFFFF;
  if (rop == PATCOPY) {
    solid_fill(target, area, pattern);
    return;
  }
  if (!target.device) {
    combine_pattern(target.view, area, pattern, rop);
    return;
  }
  device_draw_bands(target, area, true, [&](const PixelView& band, const RECT& band_area) {
    combine_pattern(band, RECT{0, 0, band_area.right - band_area.left, band_area.bottom - band_area.top}, pattern, rop);
    return true;
  });
}

// The pixel at (x, y) (view coordinates, inside the clip).
COLORREF read_one(const DrawTarget& target, LONG x, LONG y) {
  if (!target.device) return pixel_read(target.view, x, y);
  BYTE pixel[4] = {};
  device_read(target, RECT{x, y, x + 1, y + 1}, pixel, 4);
  return RGB(pixel[2], pixel[1], pixel[0]);
}

// Returns the colour the pixel now has: a device's 32-bit pixels hold any colour exactly.
COLORREF write_one(const DrawTarget& target, LONG x, LONG y, COLORREF colour) {
  if (target.device) {
    device_fill(target, RECT{x, y, x + 1, y + 1}, colour);
    return colour;
  }
  pixel_write(target.view, x, y, colour);
  return pixel_read(target.view, x, y);
}

}  // namespace

BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop) {
  DeviceContext* context = dc_from(dc);
  if (!context || rop_uses_source(rop)) return FALSE;
  // A hollow brush paints nothing where the operation needs its pattern.
  if (rop_uses_pattern(rop) && context->brush->logical.lbStyle == BS_NULL) return TRUE;
  DrawTarget target = dc_target(*context);
  pattern_fill(target, dc_clip_rect(target, wide_rect_normalized(x, y, width, height)), *context->brush, rop);
  return TRUE;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush_handle) {
  DeviceContext* context = dc_from(dc);
  Brush* brush = brush_from(brush_handle);
  if (!context || !rect || !brush) return 0;
  if (brush->logical.lbStyle == BS_NULL) return 1;
  DrawTarget target = dc_target(*context);
  // Left and top edges are inside, right and bottom outside; like PatBlt, an inverted rectangle is
  // turned round rather than refused.
  WideRect area = wide_rect_normalized(rect->left, rect->top, std::int64_t{rect->right} - rect->left,
                                       std::int64_t{rect->bottom} - rect->top);
  solid_fill(target, dc_clip_rect(target, area), brush->logical.lbColor & 0xFFFFFF);
  return 1;
}

COLORREF GetPixel(HDC dc, int x, int y) {
  DeviceContext* context = dc_from(dc);
  if (!context) return CLR_INVALID;
  DrawTarget target = dc_target(*context);
  RECT area = dc_clip_rect(target, WideRect{x, y, x + 1LL, y + 1LL});
  if (area.left == area.right || area.top == area.bottom) return CLR_INVALID;
  return read_one(target, area.left, area.top);
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour) {
  DeviceContext* context = dc_from(dc);
  if (!context) return CLR_INVALID;
  DrawTarget target = dc_target(*context);
  RECT area = dc_clip_rect(target, WideRect{x, y, x + 1LL, y + 1LL});
  if (area.left == area.right || area.top == area.bottom) return CLR_INVALID;
  return write_one(target, area.left, area.top, colour & 0xFFFFFF);
}
