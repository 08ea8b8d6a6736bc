// Update regions and WM_PAINT. A window's update region is kept as its
// bounding rectangle. There are no clip regions between windows, so a parent's
// painting covers its children: invalidating a parent invalidates the children
// it overlaps too (unless RDW_NOCHILDREN asks otherwise), parents paint first.
#include "platform/win32/kernel32.h"
#include "platform/user32/user32_internal.h"

namespace {

RECT client_area(const Window* window) { return rect_make(0, 0, rect_width(window->client), rect_height(window->client)); }

bool needs_paint(const Window* window) { return !rect_is_empty(window->update) || window->internal_paint; }

bool find_pending(HWND handle, HWND filter, MSG* message) {
  Window* window = window_from(handle);
  if (!window || !(window->style & WS_VISIBLE)) return false;
  if (needs_paint(window) && queue_filter_matches(handle, WM_PAINT, filter, 0, 0)) {
    *message = MSG{handle, WM_PAINT, 0, 0, 0, {0, 0}};
    return true;
  }
  for (HWND child : window->children)
    if (find_pending(child, filter, message)) return true;
  return false;
}

template <typename Action>
void for_window_and_children(Window* window, bool children, Action action) {
  HWND handle = window->handle;
  action(window);
  if (!children || !(window = window_from(handle))) return;
  std::vector<HWND> list = window->children;
  for (HWND child : list)
    if (Window* record = window_from(child)) for_window_and_children(record, true, action);
}

void update_now(Window* window, bool children) {
  for_window_and_children(window, children, [](Window* w) {
    if (needs_paint(w) && window_is_shown(w)) SendMessageW(w->handle, WM_PAINT, 0, 0);
  });
}

void redraw(Window* window, const RECT* rect, UINT flags) {
  bool children = !(flags & RDW_NOCHILDREN);
  if (flags & RDW_INVALIDATE) paint_invalidate(window, rect, (flags & RDW_ERASE) != 0, children);
  if (flags & RDW_INTERNALPAINT) window->internal_paint = true;
  if (flags & RDW_VALIDATE) paint_validate(window, rect, children);
  if (flags & RDW_NOINTERNALPAINT) window->internal_paint = false;
  if (flags & RDW_NOERASE) window->update_erase = false;
  if (flags & (RDW_ERASENOW | RDW_UPDATENOW))
    for_window_and_children(window, children, [](Window* w) { paint_erase_now(w); });
  if (Window* still = window_from(window->handle); still && (flags & RDW_UPDATENOW)) update_now(still, children);
}

}  // namespace

void paint_invalidate(Window* window, const RECT* rect, bool erase, bool children) {
  if (!window_is_shown(window)) return;
  RECT area = rect ? rect_intersection(*rect, client_area(window)) : client_area(window);
  if (rect_is_empty(area)) return;
  window->update = rect_bounds(window->update, area);
  if (erase) window->update_erase = true;
  if (!children) return;
  for (HWND handle : window->children) {
    Window* child = window_from(handle);
    if (!child) continue;
    LONG dx = child->rect.left + child->client.left, dy = child->rect.top + child->client.top;
    RECT inner = rect_offset(area, -dx, -dy);
    paint_invalidate(child, &inner, erase, true);
  }
}

void paint_validate(Window* window, const RECT* rect, bool children) {
  auto validate = [rect](Window* w) {
    RECT covered = rect ? rect_intersection(*rect, w->update) : w->update;
    // With a bounding box only a rectangle covering all of it can validate it.
    if (!rect || (covered.left == w->update.left && covered.top == w->update.top &&
                  covered.right == w->update.right && covered.bottom == w->update.bottom)) {
      w->update = RECT{0, 0, 0, 0};
      w->update_erase = false;
    }
  };
  validate(window);
  if (!children) return;
  for (HWND handle : window->children)
    if (Window* child = window_from(handle)) paint_validate(child, nullptr, true);
}

void paint_erase_now(Window* window) {
  if (!window->update_erase || rect_is_empty(window->update) || !window_is_shown(window)) return;
  HWND handle = window->handle;
  RECT area = window->update;
  HDC dc = paint_window_dc(window, &area);
  if (!dc) return;
  LRESULT erased = SendMessageW(handle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  HWND owner = nullptr;
  RECT clip{};
  paint_release_window_dc(dc, &owner, &clip);
  Window* still = window_from(handle);
  if (!still) return;
  if (erased) still->update_erase = false;
  paint_present_surface_rect(window_root(still), clip);
}

bool paint_find_pending(HWND filter, MSG* message) {
  for (HWND top : window_top_levels())
    if (find_pending(top, filter, message)) return true;
  return false;
}

HDC BeginPaint(HWND handle, LPPAINTSTRUCT paint) {
  Window* window = window_from(handle);
  if (!window || !paint) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  *paint = PAINTSTRUCT{};
  RECT area = rect_intersection(window->update, client_area(window));
  bool erase = window->update_erase;
  window->update = RECT{0, 0, 0, 0};
  window->update_erase = false;
  window->internal_paint = false;
  HDC dc = paint_window_dc(window, &area);
  if (!dc) return nullptr;
  paint->hdc = dc;
  paint->rcPaint = area;
  paint->fErase = erase && !SendMessageW(handle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? TRUE : FALSE;
  return dc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* paint) {
  if (!paint) return FALSE;
  return ReleaseDC(nullptr, paint->hdc) ? TRUE : FALSE;
}

BOOL RedrawWindow(HWND handle, const RECT* rect, HRGN, UINT flags) {
  if (!handle) {
    std::vector<HWND> tops = window_top_levels();
    for (HWND top : tops)
      if (Window* window = window_from(top)) redraw(window, rect, flags);
    return TRUE;
  }
  Window* window = window_from(handle);
  if (!window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  redraw(window, rect, flags);
  return TRUE;
}

BOOL InvalidateRect(HWND handle, const RECT* rect, BOOL erase) {
  return RedrawWindow(handle, rect, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND handle, const RECT* rect) {
  return RedrawWindow(handle, rect, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL UpdateWindow(HWND handle) {
  return RedrawWindow(handle, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

BOOL GetUpdateRect(HWND handle, LPRECT rect, BOOL erase) {
  Window* window = window_from(handle);
  if (!window) return FALSE;
  if (erase) paint_erase_now(window);
  if (!(window = window_from(handle))) return FALSE;
  if (rect) *rect = window->update;
  return rect_is_empty(window->update) ? FALSE : TRUE;
}
