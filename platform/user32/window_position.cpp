// SetWindowPos and what is built on it: moving, sizing, z-order, showing and
// hiding, with WM_WINDOWPOSCHANGING before and WM_WINDOWPOSCHANGED after.
#include <algorithm>

#include "platform/win32/kernel32.h"
#include "platform/user32/user32_internal.h"

namespace {

// Internal WINDOWPOS flags telling DefWindowProc which of WM_MOVE and WM_SIZE to send.
constexpr UINT SWP_NOCLIENTSIZE = 0x0800;
constexpr UINT SWP_NOCLIENTMOVE = 0x1000;

std::vector<HWND>& siblings_of(Window* window) {
  if (Window* parent = window_from(window->parent)) return parent->children;
  return window_top_levels();
}

void restack(Window* window, HWND insert_after) {
  std::vector<HWND>& siblings = siblings_of(window);
  siblings.erase(std::remove(siblings.begin(), siblings.end(), window->handle), siblings.end());
  if (insert_after == HWND_TOPMOST) window->ex_style |= WS_EX_TOPMOST;
  if (insert_after == HWND_NOTOPMOST) window->ex_style &= ~WS_EX_TOPMOST;
  auto position = siblings.begin();
  if (insert_after == HWND_BOTTOM) {
    position = siblings.end();
  } else if (insert_after != HWND_TOP && insert_after != HWND_TOPMOST && insert_after != HWND_NOTOPMOST) {
    auto found = std::find(siblings.begin(), siblings.end(), insert_after);
    if (found != siblings.end()) position = found + 1;
  } else if (!window->parent && !(window->ex_style & WS_EX_TOPMOST)) {
    // Non-topmost windows stay below the topmost ones.
    while (position != siblings.end() && window_from(*position) && (window_from(*position)->ex_style & WS_EX_TOPMOST))
      ++position;
  }
  siblings.insert(position, window->handle);
}

void invalidate_in_parent(Window* window, const RECT& rect) {
  Window* parent = window_from(window->parent);
  if (!parent) return;
  RECT area = rect;
  paint_invalidate(parent, &area, true, true);
}

void send_nc_paint_and_erase(Window* window) {
  SendMessageW(window->handle, WM_NCPAINT, 1, 0);
  if (Window* still = window_from(window->handle)) paint_erase_now(still);
}

}  // namespace

void window_update_client(Window* window) {
  bool has_menu = !window->parent && window->menu && IsMenu(window->menu);
  window->client = window_client_for(window->style, window->ex_style, has_menu, window->parent != nullptr,
                                     rect_width(window->rect), rect_height(window->rect));
}

void window_tell_display_moved(Window* window) {
  if (window->parent) return;
  POINT origin = window_client_origin_screen(window);
  RECT client = rect_make(origin.x, origin.y, origin.x + rect_width(window->client),
                          origin.y + rect_height(window->client));
  backend_current()->window_moved(window->handle, &window->rect, &client);
}

static WPARAM size_kind(const Window* window) {
  if (window->style & WS_MINIMIZE) return SIZE_MINIMIZED;
  if (window->style & WS_MAXIMIZE) return SIZE_MAXIMIZED;
  return SIZE_RESTORED;
}

static void send_size(Window* window) {
  SendMessageW(window->handle, WM_SIZE, size_kind(window),
               MAKELPARAM(rect_width(window->client), rect_height(window->client)));
}

static void send_move(Window* window) {
  POINT origin = window->parent ? POINT{window->rect.left + window->client.left, window->rect.top + window->client.top}
                                : window_client_origin_screen(window);
  SendMessageW(window->handle, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
}

void window_send_size_and_move(Window* window) {
  HWND handle = window->handle;
  send_size(window);
  if (Window* still = window_from(handle)) send_move(still);
}

// DefWindowProc's handling of WM_WINDOWPOSCHANGED.
void window_position_changed_default(HWND handle, const WINDOWPOS* position) {
  Window* window = window_from(handle);
  if (!window || !position) return;
  if (!(position->flags & SWP_NOCLIENTMOVE)) send_move(window);
  if (!(position->flags & SWP_NOCLIENTSIZE) && (window = window_from(handle))) send_size(window);
}

BOOL SetWindowPos(HWND handle, HWND insert_after, int x, int y, int width, int height, UINT flags) {
  Window* window = window_from(handle);
  if (!window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  bool was_visible = (window->style & WS_VISIBLE) != 0;
  WINDOWPOS position{handle, insert_after, x, y, width, height, flags};
  if (flags & SWP_NOMOVE) {
    position.x = window->rect.left;
    position.y = window->rect.top;
  }
  if (flags & SWP_NOSIZE) {
    position.cx = rect_width(window->rect);
    position.cy = rect_height(window->rect);
  }
  if (!(flags & SWP_NOSENDCHANGING)) SendMessageW(handle, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&position));
  if (!(window = window_from(handle))) return FALSE;

  RECT old_rect = window->rect;
  RECT old_client = window->client;
  window->rect = window_rect_clamped(position.x, position.y, position.cx, position.cy);
  bool moved = window->rect.left != old_rect.left || window->rect.top != old_rect.top;
  bool sized = rect_width(window->rect) != rect_width(old_rect) || rect_height(window->rect) != rect_height(old_rect);
  if (!(flags & SWP_NOZORDER)) restack(window, position.hwndInsertAfter);
  bool showing = (flags & SWP_SHOWWINDOW) && !was_visible;
  bool hiding = (flags & SWP_HIDEWINDOW) && was_visible;
  if (showing) window->style |= WS_VISIBLE;
  if (hiding) window->style &= ~WS_VISIBLE;
  if (sized || (flags & SWP_FRAMECHANGED)) {
    // The procedure hears of the new frame, as Win32 tells it; the client area is ours to compute.
    RECT proposed = window->rect;
    SendMessageW(handle, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&proposed));
    if (!(window = window_from(handle))) return TRUE;
    window_update_client(window);
  }
  bool client_sized = rect_width(window->client) != rect_width(old_client) ||
                      rect_height(window->client) != rect_height(old_client);
  bool client_moved = moved || window->client.left != old_client.left || window->client.top != old_client.top;
  if (!window->parent && client_sized) paint_surface_fit(window);

  bool redraw = !(flags & SWP_NOREDRAW);
  if (window->parent && (hiding || ((moved || sized) && was_visible)) && redraw) invalidate_in_parent(window, old_rect);
  if (showing || ((sized || client_moved) && redraw)) paint_invalidate(window, nullptr, true, true);
  if (!window->parent) {
    if (moved || sized || (flags & SWP_FRAMECHANGED)) window_tell_display_moved(window);
    if (showing || hiding) backend_current()->window_shown(handle, showing ? TRUE : FALSE);
  }
  if (showing && redraw) send_nc_paint_and_erase(window);
  if (!(window = window_from(handle))) return TRUE;

  position.x = window->rect.left;
  position.y = window->rect.top;
  position.cx = rect_width(window->rect);
  position.cy = rect_height(window->rect);
  position.flags = flags | (client_moved ? 0 : SWP_NOCLIENTMOVE) | (client_sized ? 0 : SWP_NOCLIENTSIZE);
  SendMessageW(handle, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&position));
  if (!(window = window_from(handle))) return TRUE;

  if (!window->parent && !(flags & SWP_NOACTIVATE) && (window->style & WS_VISIBLE) && !window->destroying)
    activation_set(handle, true);
  else if (hiding && !window->parent && GetActiveWindow() == handle)
    activation_set(activation_successor(handle), true);
  return TRUE;
}

BOOL MoveWindow(HWND handle, int x, int y, int width, int height, BOOL repaint) {
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW);
  return SetWindowPos(handle, nullptr, x, y, width, height, flags);
}

namespace {

RECT maximized_rect() {
  return rect_make(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

// Minimized windows sit far off screen with only a small caption, as on Windows.
RECT minimized_rect() { return rect_make(-32000, -32000, -32000 + 160, -32000 + 28); }

void enter_state(Window* window, DWORD state) {
  if (!(window->style & (WS_MINIMIZE | WS_MAXIMIZE))) window->restore_rect = window->rect;
  window->style = (window->style & ~(WS_MINIMIZE | WS_MAXIMIZE)) | state;
}

bool leave_state(Window* window) {
  if (!(window->style & (WS_MINIMIZE | WS_MAXIMIZE))) return false;
  window->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
  return true;
}

}  // namespace

BOOL ShowWindow(HWND handle, int command) {
  Window* window = window_from(handle);
  if (!window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  bool was_visible = (window->style & WS_VISIBLE) != 0;
  UINT flags = SWP_NOZORDER;
  RECT rect = window->rect;
  switch (command) {
    case SW_HIDE:
      if (!was_visible) return FALSE;
      flags |= SWP_HIDEWINDOW | SWP_NOACTIVATE;
      break;
    case SW_SHOWMINNOACTIVE:
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
      if (!(window->style & WS_MINIMIZE)) {
        enter_state(window, WS_MINIMIZE);
        rect = minimized_rect();
      }
      flags |= SWP_SHOWWINDOW | SWP_FRAMECHANGED | (command == SW_SHOWMINIMIZED ? 0 : SWP_NOACTIVATE);
      break;
    case SW_SHOWMAXIMIZED:
      if (!(window->style & WS_MAXIMIZE)) {
        enter_state(window, WS_MAXIMIZE);
        rect = maximized_rect();
      }
      flags |= SWP_SHOWWINDOW | SWP_FRAMECHANGED;
      break;
    case SW_SHOW:
    case SW_SHOWNA:
      flags |= SWP_SHOWWINDOW | (command == SW_SHOWNA ? SWP_NOACTIVATE : 0);
      break;
    case SW_SHOWNORMAL:
    case SW_SHOWNOACTIVATE:
    case SW_RESTORE:
    case SW_SHOWDEFAULT:
      if (leave_state(window)) {
        rect = window->restore_rect;
        flags |= SWP_FRAMECHANGED;
      }
      flags |= SWP_SHOWWINDOW | (command == SW_SHOWNOACTIVATE ? SWP_NOACTIVATE : 0);
      break;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
  }
  bool showing = (flags & SWP_SHOWWINDOW) && !was_visible;
  if (showing || (flags & SWP_HIDEWINDOW)) SendMessageW(handle, WM_SHOWWINDOW, showing ? TRUE : FALSE, 0);
  if (!(window = window_from(handle))) return was_visible;
  if (window->parent) flags |= SWP_NOACTIVATE;
  if (!(flags & SWP_FRAMECHANGED)) flags |= SWP_NOMOVE | SWP_NOSIZE;
  bool had_focus = GetFocus() && window_is_descendant(window, window_from(GetFocus()));
  SetWindowPos(handle, HWND_TOP, rect.left, rect.top, rect_width(rect), rect_height(rect), flags);
  // A hidden window cannot keep the focus: it passes to the parent.
  if ((flags & SWP_HIDEWINDOW) && had_focus && (window = window_from(handle)) && window->parent) SetFocus(window->parent);
  return was_visible ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND handle) { return window_is_shown(window_from(handle)) ? TRUE : FALSE; }

BOOL IsIconic(HWND handle) {
  Window* window = window_from(handle);
  return window && (window->style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsZoomed(HWND handle) {
  Window* window = window_from(handle);
  return window && (window->style & WS_MAXIMIZE) ? TRUE : FALSE;
}

BOOL GetWindowRect(HWND handle, LPRECT rect) {
  Window* window = window_from(handle);
  if (!window || !rect) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  *rect = window->rect;
  if (Window* parent = window_from(window->parent)) {
    POINT origin = window_client_origin_screen(parent);
    *rect = rect_offset(*rect, origin.x, origin.y);
  }
  return TRUE;
}

BOOL GetClientRect(HWND handle, LPRECT rect) {
  Window* window = window_from(handle);
  if (!window || !rect) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  *rect = rect_make(0, 0, rect_width(window->client), rect_height(window->client));
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
  Window* source = window_from(from);
  Window* target = window_from(to);
  if ((from && !source) || (to && !target)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  POINT a = source ? window_client_origin_screen(source) : POINT{0, 0};
  POINT b = target ? window_client_origin_screen(target) : POINT{0, 0};
  LONG dx = a.x - b.x, dy = a.y - b.y;
  for (UINT i = 0; points && i < count; ++i) {
    points[i].x += dx;
    points[i].y += dy;
  }
  SetLastError(0);
  return MAKELONG(dx, dy);
}

BOOL ScreenToClient(HWND handle, LPPOINT point) {
  Window* window = window_from(handle);
  if (!window || !point) return FALSE;
  POINT origin = window_client_origin_screen(window);
  point->x -= origin.x;
  point->y -= origin.y;
  return TRUE;
}

BOOL ClientToScreen(HWND handle, LPPOINT point) {
  Window* window = window_from(handle);
  if (!window || !point) return FALSE;
  POINT origin = window_client_origin_screen(window);
  point->x += origin.x;
  point->y += origin.y;
  return TRUE;
}

namespace {

HWND child_at(Window* window, POINT client_point) {
  for (HWND handle : window->children) {
    Window* child = window_from(handle);
    if (!child || !(child->style & WS_VISIBLE) || !PtInRect(&child->rect, client_point)) continue;
    POINT inner{client_point.x - child->rect.left - child->client.left, client_point.y - child->rect.top - child->client.top};
    return child_at(child, inner);
  }
  return window->handle;
}

}  // namespace

HWND WindowFromPoint(POINT point) {
  for (HWND handle : window_top_levels()) {
    Window* window = window_from(handle);
    if (!window || !(window->style & WS_VISIBLE) || !PtInRect(&window->rect, point)) continue;
    POINT origin = window_client_origin_screen(window);
    return child_at(window, POINT{point.x - origin.x, point.y - origin.y});
  }
  return nullptr;
}
