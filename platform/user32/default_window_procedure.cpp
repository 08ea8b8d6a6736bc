// DefWindowProc: the default handling of the messages these windows rely on.
#include "platform/win32/gdi32.h"
#include "platform/win32/kernel32.h"
#include "platform/user32/user32_internal.h"

LRESULT window_text_default(Window* window, UINT message, WPARAM wparam, LPARAM lparam);

namespace {

// Brushes for class backgrounds given as a system colour index + 1.
HBRUSH system_colour_brush(int index) {
  static HBRUSH brushes[32] = {};
  if (index < 0 || index >= 32) return nullptr;
  if (!brushes[index]) brushes[index] = CreateSolidBrush(GetSysColor(index));
  return brushes[index];
}

HBRUSH class_brush(const Window* window) {
  HBRUSH brush = window->window_class->background;
  auto value = reinterpret_cast<ULONG_PTR>(brush);
  if (value > 0 && value <= 31) return system_colour_brush(static_cast<int>(value) - 1);
  return brush;
}

LRESULT erase_background(Window* window, HDC dc) {
  HBRUSH brush = class_brush(window);
  if (!brush || !dc) return 0;
  RECT client;
  GetClientRect(window->handle, &client);
  FillRect(dc, &client, brush);
  return 1;
}

LRESULT on_system_command(HWND handle, WPARAM command) {
  switch (command & 0xFFF0) {
    case SC_CLOSE: SendMessageW(handle, WM_CLOSE, 0, 0); break;
    case SC_MINIMIZE: ShowWindow(handle, SW_MINIMIZE); break;
    case SC_MAXIMIZE: ShowWindow(handle, SW_MAXIMIZE); break;
    case SC_RESTORE: ShowWindow(handle, SW_RESTORE); break;
    case SC_KEYMENU: menu_loop_run(handle, true); break;
    case SC_MOUSEMENU: menu_loop_run(handle, false); break;
    default: break;
  }
  return 0;
}

void update_ui_state(Window* window, WPARAM wparam) {
  WORD action = LOWORD(wparam);
  WORD flags = HIWORD(wparam) & (UISF_HIDEFOCUS | UISF_HIDEACCEL | UISF_ACTIVE);
  if (action == UIS_SET) window->ui_state |= flags;
  else if (action == UIS_CLEAR) window->ui_state &= ~flags;
  else if (action == UIS_INITIALIZE) window->ui_state = UISF_HIDEFOCUS | UISF_HIDEACCEL;
  std::vector<HWND> children = window->children;
  for (HWND child : children) SendMessageW(child, WM_UPDATEUISTATE, wparam, 0);
}

LRESULT on_mouse_activate(Window* window, WPARAM wparam, LPARAM lparam) {
  if (window->parent) {
    LRESULT answer = SendMessageW(window->parent, WM_MOUSEACTIVATE, wparam, lparam);
    if (answer) return answer;
  }
  return MA_ACTIVATE;
}

LRESULT on_set_cursor(Window* window, WPARAM wparam, LPARAM lparam) {
  if (window->parent && SendMessageW(window->parent, WM_SETCURSOR, wparam, lparam)) return TRUE;
  if (LOWORD(lparam) == HTCLIENT && window->window_class->cursor) {
    SetCursor(window->window_class->cursor);
    return TRUE;
  }
  return FALSE;
}

LRESULT on_key(Window* window, UINT message, WPARAM wparam, LPARAM lparam) {
  menu_keys_track(window->handle, message, wparam, lparam);
  // Alt+F4 closes the top-level window.
  if (message == WM_SYSKEYDOWN && wparam == VK_F4 && (HIWORD(lparam) & 0x2000)) {
    Window* root = window_root(window);
    if (root) PostMessageW(root->handle, WM_SYSCOMMAND, SC_CLOSE, 0);
  }
  return 0;
}

}  // namespace

LRESULT DefWindowProcW(HWND handle, UINT message, WPARAM wparam, LPARAM lparam) {
  Window* window = window_from(handle);
  if (!window) return 0;
  switch (message) {
    case WM_NCCREATE: return TRUE;
    case WM_NCCALCSIZE: {
      auto* rect = reinterpret_cast<RECT*>(lparam);
      if (rect) {
        RECT client = window->client;
        *rect = rect_make(rect->left + client.left, rect->top + client.top, rect->left + client.right,
                          rect->top + client.bottom);
      }
      return 0;
    }
    case WM_NCHITTEST: return HTCLIENT;
    case WM_NCACTIVATE: return TRUE;
    case WM_CLOSE: DestroyWindow(handle); return 0;
    case WM_SYSCOMMAND: return on_system_command(handle, wparam);
    case WM_PAINT: {
      PAINTSTRUCT paint;
      if (BeginPaint(handle, &paint)) EndPaint(handle, &paint);
      return 0;
    }
    case WM_ERASEBKGND: return erase_background(window, reinterpret_cast<HDC>(wparam));
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE && !(window->style & WS_MINIMIZE)) SetFocus(handle);
      return 0;
    case WM_MOUSEACTIVATE: return on_mouse_activate(window, wparam, lparam);
    case WM_SETCURSOR: return on_set_cursor(window, wparam, lparam);
    case WM_WINDOWPOSCHANGED: window_position_changed_default(handle, reinterpret_cast<WINDOWPOS*>(lparam)); return 0;
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH: return window_text_default(window, message, wparam, lparam);
    case WM_QUERYUISTATE: return window->ui_state;
    case WM_UPDATEUISTATE: update_ui_state(window, wparam); return 0;
    case WM_CHANGEUISTATE:
      if (window->parent) return SendMessageW(window->parent, WM_CHANGEUISTATE, wparam, lparam);
      return SendMessageW(handle, WM_UPDATEUISTATE, wparam, lparam);
    case WM_SYSKEYDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYUP:
    case WM_KEYUP: return on_key(window, message, wparam, lparam);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC: return reinterpret_cast<LRESULT>(system_colour_brush(COLOR_WINDOW));
    default: return 0;
  }
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcW(window, message, wparam, lparam);
}
