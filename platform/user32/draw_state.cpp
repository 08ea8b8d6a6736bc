// DrawStateW (bitmaps) and DrawFocusRect, drawn through gdi32 like any DC.
#include <algorithm>

#include "platform/win32/gdi32.h"
#include "platform/user32/user32_internal.h"

namespace {

BOOL draw_bitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height) {
  BITMAP info{};
  if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info)) return FALSE;
  if (width == 0) width = info.bmWidth;
  if (height == 0) height = info.bmHeight;
  HDC memory = CreateCompatibleDC(dc);
  if (!memory) return FALSE;
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BOOL done = previous ? BitBlt(dc, x, y, width, height, memory, 0, 0, SRCCOPY) : FALSE;
  if (previous) SelectObject(memory, previous);
  DeleteDC(memory);
  return done;
}

void invert_pixel(HDC dc, int x, int y) {
  COLORREF colour = GetPixel(dc, x, y);
  if (colour != CLR_INVALID) SetPixel(dc, x, y, colour ^ 0xFFFFFF);
}

}  // namespace

BOOL DrawStateW(HDC dc, HBRUSH, DRAWSTATEPROC callback, LPARAM data, WPARAM wdata, int x, int y, int cx, int cy,
                UINT flags) {
  if (!dc) return FALSE;
  switch (flags & 0x000F) {
    case DST_BITMAP: return draw_bitmap(dc, reinterpret_cast<HBITMAP>(data), x, y, cx, cy);
    case DST_COMPLEX: return callback ? callback(dc, data, wdata, cx, cy) : FALSE;
    default: return FALSE;  // text and icons are not drawn by this system
  }
}

// A dotted frame one pixel wide, drawn by inverting every other pixel, so that
// drawing it twice takes it away again.
BOOL DrawFocusRect(HDC dc, const RECT* input) {
  if (!dc || !input || input->right <= input->left || input->bottom <= input->top) return FALSE;
  // Far beyond any surface nothing can be drawn: the frame is cut there, which
  // keeps the walk along its edges short. The dot pattern keeps its phase.
  const LONG LIMIT = 1 << 17;
  RECT bounded{std::clamp(input->left, -LIMIT, LIMIT), std::clamp(input->top, -LIMIT, LIMIT),
               std::clamp(input->right, -LIMIT, LIMIT), std::clamp(input->bottom, -LIMIT, LIMIT)};
  const RECT* rect = &bounded;
  auto on_pattern = [](int x, int y) { return ((x + y) & 1) == 0; };
  for (int x = rect->left; x < rect->right; ++x) {
    if (on_pattern(x, rect->top)) invert_pixel(dc, x, rect->top);
    if (rect->bottom - 1 > rect->top && on_pattern(x, rect->bottom - 1)) invert_pixel(dc, x, rect->bottom - 1);
  }
  for (int y = rect->top + 1; y < rect->bottom - 1; ++y) {
    if (on_pattern(rect->left, y)) invert_pixel(dc, rect->left, y);
    if (rect->right - 1 > rect->left && on_pattern(rect->right - 1, y)) invert_pixel(dc, rect->right - 1, y);
  }
  return TRUE;
}
