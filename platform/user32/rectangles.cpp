// RECT helpers, both the Win32 functions and user32's internal ones. Right and
// bottom edges are outside the rectangle.
#include <algorithm>
#include <cstdint>

#include "platform/user32/window_store.h"

namespace {

// Coordinates are 32-bit; sums that leave the range stop at its ends.
LONG clamped(std::int64_t value) {
  return static_cast<LONG>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

RECT rect_make(LONG left, LONG top, LONG right, LONG bottom) { return RECT{left, top, right, bottom}; }
LONG rect_width(const RECT& rect) { return clamped(std::int64_t{rect.right} - rect.left); }
LONG rect_height(const RECT& rect) { return clamped(std::int64_t{rect.bottom} - rect.top); }
bool rect_is_empty(const RECT& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

RECT rect_intersection(const RECT& a, const RECT& b) {
  RECT result{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
  return rect_is_empty(result) ? RECT{0, 0, 0, 0} : result;
}

RECT rect_bounds(const RECT& a, const RECT& b) {
  if (rect_is_empty(a)) return rect_is_empty(b) ? RECT{0, 0, 0, 0} : b;
  if (rect_is_empty(b)) return a;
  return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

RECT rect_offset(RECT rect, LONG dx, LONG dy) {
  return RECT{clamped(std::int64_t{rect.left} + dx), clamped(std::int64_t{rect.top} + dy),
              clamped(std::int64_t{rect.right} + dx), clamped(std::int64_t{rect.bottom} + dy)};
}

RECT window_rect_clamped(int x, int y, int width, int height) {
  LONG left = std::clamp(x, -32768, 32767), top = std::clamp(y, -32768, 32767);
  LONG cx = std::clamp(width, 0, 32767), cy = std::clamp(height, 0, 32767);
  return RECT{left, top, left + cx, top + cy};
}

BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom) {
  if (!rect) return FALSE;
  *rect = RECT{left, top, right, bottom};
  return TRUE;
}

BOOL SetRectEmpty(LPRECT rect) { return SetRect(rect, 0, 0, 0, 0); }

BOOL CopyRect(LPRECT destination, const RECT* source) {
  if (!destination || !source) return FALSE;
  *destination = *source;
  return TRUE;
}

BOOL IsRectEmpty(const RECT* rect) { return !rect || rect_is_empty(*rect); }

BOOL EqualRect(const RECT* a, const RECT* b) {
  if (!a || !b) return FALSE;
  return a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

BOOL PtInRect(const RECT* rect, POINT point) {
  return rect && point.x >= rect->left && point.x < rect->right && point.y >= rect->top && point.y < rect->bottom;
}

BOOL OffsetRect(LPRECT rect, int dx, int dy) {
  if (!rect) return FALSE;
  *rect = rect_offset(*rect, dx, dy);
  return TRUE;
}

BOOL InflateRect(LPRECT rect, int dx, int dy) {
  if (!rect) return FALSE;
  *rect = RECT{clamped(std::int64_t{rect->left} - dx), clamped(std::int64_t{rect->top} - dy),
               clamped(std::int64_t{rect->right} + dx), clamped(std::int64_t{rect->bottom} + dy)};
  return TRUE;
}

BOOL IntersectRect(LPRECT destination, const RECT* a, const RECT* b) {
  if (!destination || !a || !b) return FALSE;
  *destination = rect_intersection(*a, *b);
  return !rect_is_empty(*destination);
}

BOOL UnionRect(LPRECT destination, const RECT* a, const RECT* b) {
  if (!destination || !a || !b) return FALSE;
  *destination = rect_bounds(*a, *b);
  return !rect_is_empty(*destination);
}
