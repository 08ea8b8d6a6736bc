#include "runtime/gui/focus_walk.h"

#include <vector>

namespace {

bool takes_tab_focus(HWND child) {
  return (GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(child) && IsWindowEnabled(child);
}

// Direct children in z-order that can take the focus.
std::vector<HWND> tab_stops(HWND window) {
  std::vector<HWND> stops;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (takes_tab_focus(child)) stops.push_back(child);
  return stops;
}

}  // namespace

void focus_walk(HWND window, bool forward) {
  const std::vector<HWND> stops = tab_stops(window);
  if (stops.empty()) return;
  const HWND focus = GetFocus();
  const std::size_t count = stops.size();
  std::size_t next = forward ? 0 : count - 1;
  for (std::size_t i = 0; i < count; ++i) {
    if (stops[i] != focus) continue;
    next = forward ? (i + 1) % count : (i + count - 1) % count;
    break;
  }
  SetFocus(stops[next]);
}
