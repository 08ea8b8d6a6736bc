// Fills with the brush, and single pixels.
#include "platform/gdi32/device_context.h"
#include "platform/gdi32/raster_op.h"

namespace {

void pattern_fill(const DrawTarget& target, RECT area, const Brush& brush, DWORD rop) {
  COLORREF pattern = brush.logical.lbColor & 0xFFFFFF;
  if (rop == PATCOPY) {
    pixel_fill(target.view, area, pattern);
    return;
  }
  for (LONG y = area.top; y < area.bottom; ++y)
    for (LONG x = area.left; x < area.right; ++x)
      pixel_write(target.view, x, y, rop_apply(rop, pattern, 0, pixel_read(target.view, x, y)));
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
  pixel_fill(target.view, dc_clip_rect(target, area), brush->logical.lbColor & 0xFFFFFF);
  return 1;
}

COLORREF GetPixel(HDC dc, int x, int y) {
  DeviceContext* context = dc_from(dc);
  if (!context) return CLR_INVALID;
  DrawTarget target = dc_target(*context);
  RECT area = dc_clip_rect(target, WideRect{x, y, x + 1LL, y + 1LL});
  if (area.left == area.right || area.top == area.bottom) return CLR_INVALID;
  return pixel_read(target.view, area.left, area.top);
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour) {
  DeviceContext* context = dc_from(dc);
  if (!context) return CLR_INVALID;
  DrawTarget target = dc_target(*context);
  RECT area = dc_clip_rect(target, WideRect{x, y, x + 1LL, y + 1LL});
  if (area.left == area.right || area.top == area.bottom) return CLR_INVALID;
  pixel_write(target.view, area.left, area.top, colour & 0xFFFFFF);
  return pixel_read(target.view, area.left, area.top);
}
