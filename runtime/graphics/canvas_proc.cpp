// The canvas's window procedure: painting, cursor, focus, and the mouse and
// keyboard input that becomes queued canvas events.
#include "platform/win32/commctrl.h"
#include "runtime/graphics/canvas_module.h"
#include "runtime/gui/event_codes.h"
#include "runtime/gui/event_queue.h"
#include "runtime/gui/window.h"

namespace {

constexpr std::int32_t BUTTON_LEFT = 1;
constexpr std::int32_t BUTTON_RIGHT = 2;
constexpr std::int32_t BUTTON_MIDDLE = 4;
constexpr std::int32_t NO_EVENT = -1;
constexpr WPARAM FIRST_PRINTABLE = 32;

struct ButtonMessage {
  std::int32_t mask;
  std::int32_t event;
  std::int32_t follow_up;  // double-click or click event, or NO_EVENT
};

bool key_held(int virtual_key) { return (GetKeyState(virtual_key) & 0x8000) != 0; }

std::int32_t buttons_from_key_state() {
  return (key_held(VK_LBUTTON) ? BUTTON_LEFT : 0) | (key_held(VK_RBUTTON) ? BUTTON_RIGHT : 0) |
         (key_held(VK_MBUTTON) ? BUTTON_MIDDLE : 0);
}

// The buttons a mouse message says are down (its wParam key state).
std::int32_t buttons_from_message(WPARAM wparam) {
  return ((wparam & MK_LBUTTON) ? BUTTON_LEFT : 0) | ((wparam & MK_RBUTTON) ? BUTTON_RIGHT : 0) |
         ((wparam & MK_MBUTTON) ? BUTTON_MIDDLE : 0);
}

std::int32_t modifiers_held() {
  return (key_held(VK_SHIFT) ? 1 : 0) | (key_held(VK_MENU) ? 2 : 0) | (key_held(VK_CONTROL) ? 4 : 0);
}

void canvas_event_data_free(void* data) {
  if (BlockPool* pool = canvas_module().event_pool) block_pool_free(pool, data);
}

void raise(HWND handle, std::int32_t type, std::int32_t key = 0, std::int32_t wheel = 0, std::int32_t character = 0) {
  BlockPool* pool = canvas_module().event_pool;
  auto* data = pool ? static_cast<CanvasEventData*>(block_pool_alloc(pool)) : nullptr;
  if (data) {
    const DWORD position = GetMessagePos();
    POINT point{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    ScreenToClient(handle, &point);
    *data = CanvasEventData{point.x, point.y, buttons_from_key_state(), key, modifiers_held(), wheel, character};
  }
  event_push(EVENT_GADGET, GetWindowLongW(handle, GWL_ID), window_number_from_handle(window_root_handle(handle)),
             type, data, data ? canvas_event_data_free : nullptr);
}

void invalidate(HWND handle) { RedrawWindow(handle, nullptr, nullptr, RDW_INVALIDATE); }

void on_button_down(HWND handle, CanvasObject* canvas, WPARAM wparam, const ButtonMessage& button) {
  if (buttons_from_message(wparam) == button.mask) {
    if (canvas->flags & CANVAS_CONFINE) canvas_confine_cursor(handle);
    else SetCapture(handle);
  }
  raise(handle, button.event);
  if (button.follow_up != NO_EVENT) raise(handle, button.follow_up);
}

bool released_inside(HWND handle, LPARAM lparam) {
  RECT frame{};
  GetWindowRect(handle, &frame);
  const int x = GET_X_LPARAM(lparam);
  const int y = GET_Y_LPARAM(lparam);
  return x >= 0 && x < frame.right - frame.left && y >= 0 && y < frame.bottom - frame.top && GetCapture() == handle;
}

void on_button_up(HWND handle, CanvasObject* canvas, WPARAM wparam, LPARAM lparam, const ButtonMessage& button) {
  const bool click = button.follow_up != NO_EVENT && released_inside(handle, lparam);
  if (buttons_from_message(wparam) == 0) {
    if (!(canvas->flags & CANVAS_CONFINE)) ReleaseCapture();
    else if (canvas_module().confined == handle) {
      ClipCursor(nullptr);
      ReleaseCapture();
      canvas_module().confined = nullptr;
    }
  }
  raise(handle, button.event);
  if (click) raise(handle, button.follow_up);
}

void on_mouse_move(HWND handle, CanvasObject* canvas) {
  if (canvas->cursor_state & CANVAS_MOUSE_INSIDE) {
    raise(handle, CANVAS_MOUSE_MOVE);
    return;
  }
  canvas->cursor_state |= CANVAS_MOUSE_INSIDE;
  TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, handle, 0};
  _TrackMouseEvent(&track);
  raise(handle, CANVAS_MOUSE_ENTER);
}

void on_wheel(HWND handle, WPARAM wparam) {
  std::int32_t& remainder = canvas_module().wheel_remainder;
  remainder += GET_WHEEL_DELTA_WPARAM(wparam);
  const std::int32_t steps = remainder / WHEEL_DELTA;
  if (steps == 0) return;
  remainder -= steps * WHEEL_DELTA;
  raise(handle, CANVAS_WHEEL, 0, steps);
}

void on_enable(HWND handle, CanvasObject* canvas, bool enabled) {
  canvas_paint(canvas, nullptr);
  if (!enabled) canvas_release_confinement(handle);
}

LRESULT on_mouse_activate(HWND handle, CanvasObject* canvas, UINT message, WPARAM wparam, LPARAM lparam) {
  if (!(canvas->flags & CANVAS_KEYBOARD)) return DefWindowProcW(handle, message, wparam, lparam);
  SetFocus(handle);
  invalidate(handle);
  return MA_NOACTIVATE;
}

}  // namespace

void canvas_confine_cursor(HWND handle) {
  RECT client{};
  GetClientRect(handle, &client);
  MapWindowPoints(handle, nullptr, reinterpret_cast<POINT*>(&client), 2);
  ClipCursor(&client);
  SetCapture(handle);
  canvas_module().confined = handle;
}

void canvas_release_confinement(HWND handle) {
  if (canvas_module().confined != handle) return;
  ClipCursor(nullptr);
  canvas_module().confined = nullptr;
}

LRESULT canvas_window_proc(HWND handle, UINT message, WPARAM wparam, LPARAM lparam) {
  CanvasObject* canvas = canvas_of_window(handle);
  if (!canvas) return DefWindowProcW(handle, message, wparam, lparam);
  switch (message) {
    case WM_SETFOCUS:
      raise(handle, CANVAS_FOCUS_GAINED);
      invalidate(handle);
      return 0;
    case WM_KILLFOCUS:
      raise(handle, CANVAS_FOCUS_LOST);
      invalidate(handle);
      return 0;
    case WM_ENABLE:
      on_enable(handle, canvas, wparam != 0);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      HDC dc = BeginPaint(handle, &paint);
      if (dc) canvas_paint(canvas, dc);
      EndPaint(handle, &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      canvas_paint(canvas, reinterpret_cast<HDC>(wparam));
      return 1;
    case WM_PRINT:
    case WM_PRINTCLIENT:
      canvas_paint(canvas, reinterpret_cast<HDC>(wparam));
      return 0;
    case WM_SETCURSOR:
      SetCursor(canvas->cursor);
      return 1;
    case WM_MOUSEACTIVATE:
      return on_mouse_activate(handle, canvas, message, wparam, lparam);
    case WM_KEYDOWN:
      raise(handle, CANVAS_KEY_DOWN, static_cast<std::int32_t>(wparam));
      return 0;
    case WM_KEYUP:
      raise(handle, CANVAS_KEY_UP, static_cast<std::int32_t>(wparam));
      return 0;
    case WM_CHAR:
      if (wparam >= FIRST_PRINTABLE) raise(handle, CANVAS_CHARACTER, 0, 0, static_cast<std::int32_t>(wparam & 0xFFFF));
      return 0;
    case WM_MOUSEMOVE:
      on_mouse_move(handle, canvas);
      return 0;
    case WM_MOUSELEAVE:
      canvas->cursor_state &= ~CANVAS_MOUSE_INSIDE;
      raise(handle, CANVAS_MOUSE_LEAVE);
      return 0;
    case WM_MOUSEWHEEL:
      on_wheel(handle, wparam);
      return 0;
    case WM_LBUTTONDOWN:
      on_button_down(handle, canvas, wparam, {BUTTON_LEFT, CANVAS_LEFT_DOWN, NO_EVENT});
      return 0;
    case WM_LBUTTONDBLCLK:
      on_button_down(handle, canvas, wparam, {BUTTON_LEFT, CANVAS_LEFT_DOWN, CANVAS_LEFT_DOUBLE_CLICK});
      return 0;
    case WM_RBUTTONDOWN:
      on_button_down(handle, canvas, wparam, {BUTTON_RIGHT, CANVAS_RIGHT_DOWN, NO_EVENT});
      return 0;
    case WM_RBUTTONDBLCLK:
      on_button_down(handle, canvas, wparam, {BUTTON_RIGHT, CANVAS_RIGHT_DOWN, CANVAS_RIGHT_DOUBLE_CLICK});
      return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      on_button_down(handle, canvas, wparam, {BUTTON_MIDDLE, CANVAS_MIDDLE_DOWN, NO_EVENT});
      return 0;
    case WM_LBUTTONUP:
      on_button_up(handle, canvas, wparam, lparam, {BUTTON_LEFT, CANVAS_LEFT_UP, CANVAS_LEFT_CLICK});
      return 0;
    case WM_RBUTTONUP:
      on_button_up(handle, canvas, wparam, lparam, {BUTTON_RIGHT, CANVAS_RIGHT_UP, CANVAS_RIGHT_CLICK});
      return 0;
    case WM_MBUTTONUP:
      on_button_up(handle, canvas, wparam, lparam, {BUTTON_MIDDLE, CANVAS_MIDDLE_UP, NO_EVENT});
      return 0;
    default:
      return DefWindowProcW(handle, message, wparam, lparam);
  }
}
