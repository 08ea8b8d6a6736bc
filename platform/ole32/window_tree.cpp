#include "platform/ole32/window_tree.h"

#include "platform/win32/user32.h"

namespace {

bool is_child_window(HWND window) { return (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) != 0; }

bool rect_holds(const RECT& rect, POINT point) {
  return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

// The topmost visible child whose rectangle holds the point, in z-order.
HWND visible_child_at(HWND parent, POINT screen_point) {
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT rect;
    if (IsWindowVisible(child) && GetWindowRect(child, &rect) && rect_holds(rect, screen_point)) return child;
  }
  return nullptr;
}

}  // namespace

HWND window_tree_root(HWND window) {
  // GetParent gives the owner of a top-level window, so the style decides where to stop.
  while (window != nullptr && is_child_window(window)) window = GetParent(window);
  return window;
}

HWND window_tree_deepest_at(HWND top_level, POINT screen_point) {
  HWND deepest = top_level;
  while (HWND child = visible_child_at(deepest, screen_point)) deepest = child;
  return deepest;
}

bool window_tree_any(HWND root, bool (*predicate)(HWND window)) {
  if (predicate(root)) return true;
  for (HWND child = GetWindow(root, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (window_tree_any(child, predicate)) return true;
  }
  return false;
}
